#pragma once

#include "KivBL3Data.h"
#include "KivNorvikFields.h"

#include <string>

// Every int, double and KivString field of a KivBL3Data, by dotted path.
struct KivBL3Fields
{
    template <class R, class V>
    static void visit(R& d, V& v) // R = KivBL3Data or const KivBL3Data
    {
        using F = KivNorvikFields;

        auto& g = d.generalGroup;
        v("generalGroup.typeAtt", g.typeAtt);
        v("generalGroup.neige", g.neige);
        F::elements(v, "generalGroup.loadings", g.loadings,
                    [](V& v2, const std::string& p, auto& l) { F::loading(v2, p, l); });
        v("generalGroup.lia", g.lia);
        F::array(v, "generalGroup.optCalcul", g.optCalcul);
        auto& a = g.att;
        v("generalGroup.att.grp", a.grp);
        v("generalGroup.att.barNb", a.barNb);
        F::array(v, "generalGroup.att.num", a.num);
        F::array(v, "generalGroup.att.noeNum", a.noeNum);
        v("generalGroup.att.noeNom", a.noeNom);
        v("generalGroup.att.noeTitre", a.noeTitre);
        F::array(v, "generalGroup.att.noeXyz", a.noeXyz);
        F::array(v, "generalGroup.att.bar", a.bar);

        auto& m = d.mainElementGroup;
        F::section(v, "mainElementGroup.section", m.section);
        v("mainElementGroup.mat", m.mat);

        auto& s = d.secondaryElementGroup;
        const std::string sp = "secondaryElementGroup.";
        v(sp + "mat", s.mat);
        F::section(v, sp + "section", s.section);
        v(sp + "angle", s.angle);
        v(sp + "posZ", s.posZ);
        v(sp + "jeu", s.jeu);
        F::code(v, sp + "connecType", s.connecType, 5);
        F::code(v, sp + "connecPos", s.connecPos, 3);
        v(sp + "connecPosZRef", s.connecPosZRef);
        v(sp + "connecPosZ", s.connecPosZ);
        v(sp + "connecLng", s.connecLng);
        v(sp + "connecMat", s.connecMat);
        F::section(v, sp + "connecSection", s.connecSection);
        v(sp + "doubleSolive", s.doubleSolive);
        bolt(v, sp + "boltPrim", s.boltPrim);
        bolt(v, sp + "boltSec", s.boltSec);
        notch(v, sp + "notchSupIni", s.notchSupIni);
        notch(v, sp + "notchInfIni", s.notchInfIni);
        notch(v, sp + "notchLatIni", s.notchLatIni);
        notch(v, sp + "notchSup", s.notchSup);
        notch(v, sp + "notchInf", s.notchInf);
        notch(v, sp + "notchLat", s.notchLat);
        v(sp + "effort.number", s.effort.number);
        v(sp + "effort.value1", s.effort.value1);
        v(sp + "effort.value2", s.effort.value2);
        v(sp + "effort.value3", s.effort.value3);
    }

private:
    template <class V, class B>
    static void bolt(V& v, const std::string& p, B& b)
    {
        KivNorvikFields::code(v, p + ".kind", b.kind, 2);
        v(p + ".value1", b.value1);
        v(p + ".number", b.number);
        v(p + ".value2", b.value2);
        v(p + ".value3", b.value3);
        v(p + ".value4", b.value4);
        v(p + ".value5", b.value5);
    }

    template <class V, class N>
    static void notch(V& v, const std::string& p, N& n)
    {
        KivNorvikFields::code(v, p + ".kind", n.kind, 6);
        v(p + ".code", n.code);
        v(p + ".value1", n.value1);
        v(p + ".value2", n.value2);
        v(p + ".number1", n.number1);
        v(p + ".number2", n.number2);
    }
};

template <class V>
void visitFields(KivBL3Data& d, V& v)
{
    KivBL3Fields::visit(d, v);
}
template <class V>
void visitFields(const KivBL3Data& d, V& v)
{
    KivBL3Fields::visit(d, v);
}
