#pragma once

#include "KivBL4Data.h"
#include "KivNorvikFields.h"

#include <string>

// Every int, double and KivString field of a BL4 record (see KivNorvikFields).
struct KivBL4Fields
{
    template <class R, class V>
    static void visit(R& d, V& v) // R = KivBL4Data or const KivBL4Data
    {
        auto& g = d.generalGroup;
        v("generalGroup.nbrDiag", g.nbrDiag);
        KivNorvikFields::array(v, "generalGroup.optCal", g.optCal);
        v("generalGroup.gousset", g.gousset);
        v("generalGroup.goussetText", g.goussetText);
        v("generalGroup.noeud", g.noeud);
        KivNorvikFields::array(v, "generalGroup.noeudXyz", g.noeudXyz);
        v("generalGroup.neige", g.neige);
        KivNorvikFields::loading(v, "generalGroup.loading", g.loading);
        v("generalGroup.lia", g.lia);

        auto& m = d.mainElementGroup;
        v("mainElementGroup.type", m.type);
        v("mainElementGroup.mat", m.mat);
        bolt(v, "mainElementGroup.bolt1", m.bolt1);
        bolt(v, "mainElementGroup.bolt2", m.bolt2);
        v("mainElementGroup.angle", m.angle);
        KivNorvikFields::section(v, "mainElementGroup.section", m.section);
        v("mainElementGroup.rotation", m.rotation);
        KivNorvikFields::array(v, "mainElementGroup.numMemb1", m.numMemb1);
        KivNorvikFields::array(v, "mainElementGroup.numMemb2", m.numMemb2);
        KivNorvikFields::array(v, "mainElementGroup.numPrim", m.numPrim);
        v("mainElementGroup.effNumber", m.effNumber);
        KivNorvikFields::array(v, "mainElementGroup.eff", m.eff);

        for (int i = 0; i < 2; ++i) {
            auto& e = d.diagonalElementGroups[i];
            const std::string p = "diagonalElementGroups[" + std::to_string(i) + "]";
            v(p + ".number", e.number);
            v(p + ".doubleDiag", e.doubleDiag);
            KivNorvikFields::array(v, p + ".numElt", e.numElt);
            v(p + ".jeu", e.jeu);
            v(p + ".mat", e.mat);
            v(p + ".position", e.position);
            bolt(v, p + ".bolt", e.bolt);
            KivNorvikFields::section(v, p + ".section", e.section);
            v(p + ".extraData", e.extraData);
        }
    }

    template <class V, class B>
    static void bolt(V& v, const std::string& p, B& b)
    {
        KivNorvikFields::code(v, p + ".kind", b.kind, 3);
        v(p + ".value1", b.value1);
        v(p + ".value2", b.value2);
        v(p + ".value3", b.value3);
        v(p + ".value4", b.value4);
        v(p + ".value5", b.value5);
        v(p + ".value6", b.value6);
        v(p + ".value7", b.value7);
    }
};

template <class V>
void visitFields(KivBL4Data& d, V& v)
{
    KivBL4Fields::visit(d, v);
}
template <class V>
void visitFields(const KivBL4Data& d, V& v)
{
    KivBL4Fields::visit(d, v);
}
