#pragma once

#include "KivBL1Data.h"
#include "KivNorvikFields.h"

#include <string>

// Every int, double and KivString field of a KivBL1Data, by dotted path.
struct KivBL1Fields
{
    template <class R, class V>
    static void visit(R& d, V& v) // R = KivBL1Data or const KivBL1Data
    {
        using F = KivNorvikFields;

        auto& g = d.generalGroup;
        v("generalGroup.acier", g.acier);
        F::array(v, "generalGroup.xy", g.xy);
        v("generalGroup.repPage", g.repPage);
        v("generalGroup.noeudNum", g.noeudNum);
        F::array(v, "generalGroup.noeudXyz", g.noeudXyz);
        v("generalGroup.neige", g.neige);
        F::elements(v, "generalGroup.loadings", g.loadings,
                    [](V& v2, const std::string& p, auto& l) { F::loading(v2, p, l); });
        v("generalGroup.lia", g.lia);
        v("generalGroup.bolt.number", g.bolt.number);
        v("generalGroup.bolt.value", g.bolt.value);
        v("generalGroup.bolt.text", g.bolt.text);
        v("generalGroup.atmos", g.atmos);
        v("generalGroup.a91", g.a91);
        v("generalGroup.frx", g.frx);

        auto& p = d.potGroup;
        F::section(v, "potGroup.section", p.section);
        v("potGroup.con", p.con);
        v("potGroup.lia1", p.lia1);
        v("potGroup.lia2", p.lia2);
        F::code(v, "potGroup.raiAmeType", p.raiAmeType, 2);
        F::array(v, "potGroup.raiAmeObliq", p.raiAmeObliq);
        v("potGroup.raiAmePlaqValue", p.raiAmePlaqValue);
        v("potGroup.raiAmePlaqNumber", p.raiAmePlaqNumber);

        auto& a = d.acr;
        v("acr.pro1", a.pro1);
        v("acr.pro2", a.pro2);
        v("acr.y", a.y);
        v("acr.lia1", a.lia1);
        v("acr.lia2", a.lia2);
        v("acr.lia3", a.lia3);

        traverse(v, "rightTraverse", d.rightTraverse);
        traverse(v, "leftTraverse", d.leftTraverse);
    }

    template <class T, class V>
    static void traverse(V& v, const std::string& path, T& t) // T = BL1Traverse, maybe const
    {
        using F = KivNorvikFields;
        F::code(v, path + ".side", t.side, 2);
        F::section(v, path + ".section", t.section);
        v(path + ".ang", t.ang);
        v(path + ".dy", t.dy);
        F::array(v, path + ".renInf", t.renInf);
        v(path + ".raiTra.value1", t.raiTra.value1);
        v(path + ".raiTra.number", t.raiTra.number);
        v(path + ".raiTra.value2", t.raiTra.value2);
        v(path + ".lia1", t.lia1);
        v(path + ".lia2", t.lia2);
        F::elements(v, path + ".efforts", t.efforts, [](V& v2, const std::string& e, auto& eff) {
            v2(e + ".number", eff.number);
            v2(e + ".value1", eff.value1);
            v2(e + ".value2", eff.value2);
            v2(e + ".value3", eff.value3);
        });
        v(path + ".pla.value1", t.pla.value1);
        v(path + ".pla.value2", t.pla.value2);
        v(path + ".pla.value3", t.pla.value3);
        v(path + ".pla.value4", t.pla.value4);
        F::array(v, path + ".souTraPla", t.souTraPla);
        v(path + ".fil.number", t.fil.number);
        v(path + ".fil.value1", t.fil.value1);
        v(path + ".fil.value2", t.fil.value2);
        bolt(v, path + ".bouTra", t.bouTra);
        bolt(v, path + ".bouRen", t.bouRen);
        v(path + ".bouDia.value1", t.bouDia.value1);
        v(path + ".bouDia.text", t.bouDia.text);
        v(path + ".bouDia.value2", t.bouDia.value2);
        stiff(v, path + ".raiPotTraSup", t.raiPotTraSup);
        stiff(v, path + ".raiPotTraInf", t.raiPotTraInf);
        extension(v, path + ".extBoltsSup", t.extBoltsSup);
        extension(v, path + ".extBoltsInf", t.extBoltsInf);
        v(path + ".bouInf", t.bouInf);
        v(path + ".renSemInf", t.renSemInf);
    }

private:
    template <class B, class V>
    static void bolt(V& v, const std::string& path, B& b)
    {
        v(path + ".type", b.type);
        v(path + ".value1", b.value1);
        v(path + ".value2", b.value2);
        v(path + ".number", b.number);
    }

    template <class S, class V>
    static void stiff(V& v, const std::string& path, S& s)
    {
        v(path + ".position", s.position);
        v(path + ".value1", s.value1);
        v(path + ".number", s.number);
        v(path + ".value2", s.value2);
    }

    template <class E, class V>
    static void extension(V& v, const std::string& path, E& e)
    {
        v(path + ".position", e.position);
        v(path + ".bouExt", e.bouExt);
        KivNorvikFields::array(v, path + ".raiPla", e.raiPla);
    }
};

template <class V>
void visitFields(KivBL1Data& d, V& v)
{
    KivBL1Fields::visit(d, v);
}

template <class V>
void visitFields(const KivBL1Data& d, V& v)
{
    KivBL1Fields::visit(d, v);
}
