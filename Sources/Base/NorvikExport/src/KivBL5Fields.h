#pragma once

#include "KivBL5Data.h"
#include "KivNorvikFields.h"

#include <string>

// Every int, double and KivString field of a BL5 record (see KivNorvikFields).
struct KivBL5Fields
{
    template <class R, class V>
    static void visit(R& d, V& v) // R = KivBL5Data or const KivBL5Data
    {
        auto& g = d.generalGroup;
        v("generalGroup.nbrDiag", g.nbrDiag);
        KivNorvikFields::array(v, "generalGroup.optCalul", g.optCalul);
        v("generalGroup.angleDiag", g.angleDiag);
        v("generalGroup.typeAtt", g.typeAtt);
        v("generalGroup.noeud", g.noeud);
        KivNorvikFields::array(v, "generalGroup.xy", g.xy);
        v("generalGroup.neige", g.neige);
        KivNorvikFields::loading(v, "generalGroup.loading", g.loading);
        v("generalGroup.lia", g.lia);
        v("generalGroup.bouCls", g.bouCls);
        v("generalGroup.qSoud", g.qSoud);

        auto& m = d.mainElementGroup;
        v("mainElementGroup.angle", m.angle);
        KivNorvikFields::array(v, "mainElementGroup.numMemb1", m.numMemb1);
        KivNorvikFields::array(v, "mainElementGroup.numMemb2", m.numMemb2);
        v("mainElementGroup.mat", m.mat);
        KivNorvikFields::section(v, "mainElementGroup.section", m.section);
        v("mainElementGroup.tourneSec", m.tourneSec);
        v("mainElementGroup.effNumber", m.effNumber);
        KivNorvikFields::array(v, "mainElementGroup.eff", m.eff);
        v("mainElementGroup.gousset1", m.gousset1);
        v("mainElementGroup.gousset2", m.gousset2);
        v("mainElementGroup.gousset3", m.gousset3);

        auto& c = d.columnGroup;
        KivNorvikFields::array(v, "columnGroup.numMont", c.numMont);
        v("columnGroup.mat", c.mat);
        v("columnGroup.angle", c.angle);
        KivNorvikFields::section(v, "columnGroup.section", c.section);
        v("columnGroup.tourneSec", c.tourneSec);

        for (int i = 0; i < 2; ++i) {
            auto& e = d.diagonalElementGroups[i];
            const std::string p = "diagonalElementGroups[" + std::to_string(i) + "]";
            v(p + ".number", e.number);
            v(p + ".angle", e.angle);
            KivNorvikFields::array(v, p + ".numElt", e.numElt);
            v(p + ".mat", e.mat);
            KivNorvikFields::section(v, p + ".section", e.section);
            v(p + ".tourneSec", e.tourneSec);
            v(p + ".effNumber", e.effNumber);
            v(p + ".eff", e.eff);
            ghcp(v, p + ".ghcp", e.ghcp);
        }
    }

    template <class V, class G>
    static void ghcp(V& v, const std::string& p, G& h)
    {
        KivNorvikFields::array(v, p + ".gouDim", h.gouDim);
        v(p + ".gouPos1", h.gouPos1);
        v(p + ".gouPos2", h.gouPos2);
        v(p + ".gouPos3", h.gouPos3);
        v(p + ".bouDia", h.bouDia);
        v(p + ".bouXNumber", h.bouXNumber);
        KivNorvikFields::array(v, p + ".bouX", h.bouX);
        v(p + ".bouYNumber", h.bouYNumber);
        v(p + ".bouY", h.bouY);
        KivNorvikFields::array(v, p + ".chpDim", h.chpDim);
        KivNorvikFields::array(v, p + ".soudure", h.soudure);
        KivNorvikFields::array(v, p + ".jeux", h.jeux);
        v(p + ".penetrNumber", h.penetrNumber);
        v(p + ".penetr", h.penetr);
    }
};

template <class V>
void visitFields(KivBL5Data& d, V& v)
{
    KivBL5Fields::visit(d, v);
}
template <class V>
void visitFields(const KivBL5Data& d, V& v)
{
    KivBL5Fields::visit(d, v);
}
