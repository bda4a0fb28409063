#pragma once

#include "KivBL2Data.h"
#include "KivNorvikFields.h"

#include <string>

// Every int, double and KivString field of a KivBL2Data, by dotted path.
struct KivBL2Fields
{
    template <class R, class V>
    static void visit(R& d, V& v) // R = KivBL2Data or const KivBL2Data
    {
        using F = KivNorvikFields;
        auto& g = d.generalGroup;
        v("generalGroup.repPage", g.repPage);
        F::array(v, "generalGroup.noeudXyz", g.noeudXyz);
        v("generalGroup.neige", g.neige);
        F::elements(v, "generalGroup.loadings", g.loadings,
                    [](V& v2, const std::string& p, auto& l) { F::loading(v2, p, l); });
        v("generalGroup.noeudNum", g.noeudNum);
        v("generalGroup.beton1", g.beton1);
        v("generalGroup.beton2", g.beton2);
        v("generalGroup.lia", g.lia);
        v("generalGroup.massif1", g.massif1);
        v("generalGroup.massif2", g.massif2);
        v("generalGroup.verifTigeAdd80", g.verifTigeAdd80);
        v("generalGroup.verifTpT1T2Min", g.verifTpT1T2Min);
        v("generalGroup.epmaxEncNoraid", g.epmaxEncNoraid);

        auto& c = d.columnGroup;
        v("columnGroup.mat", c.mat);
        F::section(v, "columnGroup.section", c.section);
        v("columnGroup.lia1", c.lia1);
        v("columnGroup.lia2", c.lia2);
        v("columnGroup.effort.number", c.effort.number);
        v("columnGroup.effort.value1", c.effort.value1);
        v("columnGroup.effort.value2", c.effort.value2);
        v("columnGroup.effort.value3", c.effort.value3);
        v("columnGroup.rotMax", c.rotMax);

        auto& s = d.supportGroup;
        v("supportGroup.matPlats", s.matPlats);
        F::array(v, "supportGroup.options", s.options);
        v("supportGroup.coefAdapt", s.coefAdapt);
        v("supportGroup.becheProfile.text1", s.becheProfile.text1);
        v("supportGroup.becheProfile.text2", s.becheProfile.text2);
        v("supportGroup.becheProfile.text3", s.becheProfile.text3);
        v("supportGroup.matBeche", s.matBeche);
        v("supportGroup.endPlate.value1", s.endPlate.value1);
        v("supportGroup.endPlate.value2", s.endPlate.value2);
        v("supportGroup.endPlate.value3", s.endPlate.value3);
        v("supportGroup.bolt.value1", s.bolt.value1);
        v("supportGroup.bolt.value2", s.bolt.value2);
        v("supportGroup.beche", s.beche);
        v("supportGroup.adher", s.adher);
        v("supportGroup.prescel", s.prescel);
        v("supportGroup.stem.number", s.stem.number);
        v("supportGroup.stem.value1", s.stem.value1);
        v("supportGroup.calage", s.calage);
        v("supportGroup.trouEndPlate.number", s.trouEndPlate.number);
        v("supportGroup.trouEndPlate.value1", s.trouEndPlate.value1);
        v("supportGroup.trouEndPlate.value2", s.trouEndPlate.value2);
        v("supportGroup.smallPlateDim.value1", s.smallPlateDim.value1);
        v("supportGroup.smallPlateDim.number", s.smallPlateDim.number);
        v("supportGroup.smallPlateDim.value2", s.smallPlateDim.value2);
        v("supportGroup.smallPlateDim.value3", s.smallPlateDim.value3);

        auto& b = s.columnBase;
        v("supportGroup.columnBase.baseType", b.baseType);
        v("supportGroup.columnBase.articulatedRadius.value1", b.articulatedRadius.value1);
        v("supportGroup.columnBase.articulatedRadius.value2", b.articulatedRadius.value2);
        v("supportGroup.columnBase.articulatedRadius.value3", b.articulatedRadius.value3);
        v("supportGroup.columnBase.articulatedRadius.value4", b.articulatedRadius.value4);
        v("supportGroup.columnBase.articulatedRadius.value5", b.articulatedRadius.value5);
        v("supportGroup.columnBase.articulatedRadius.value6", b.articulatedRadius.value6);
        v("supportGroup.columnBase.articulatedRadius.number", b.articulatedRadius.number);
        v("supportGroup.columnBase.fileCen", b.fileCen);
        v("supportGroup.columnBase.radiusL.value1", b.radiusL.value1);
        v("supportGroup.columnBase.radiusL.value2", b.radiusL.value2);
        v("supportGroup.columnBase.radiusT.value1", b.radiusT.value1);
        v("supportGroup.columnBase.radiusT.value2", b.radiusT.value2);
        v("supportGroup.columnBase.rowType", b.rowType);
        v("supportGroup.columnBase.extTige.number", b.extTige.number);
        v("supportGroup.columnBase.extTige.value1", b.extTige.value1);
        v("supportGroup.columnBase.extTige.value2", b.extTige.value2);
        v("supportGroup.columnBase.extTige.value3", b.extTige.value3);
        v("supportGroup.columnBase.intTige.value1", b.intTige.value1);
        v("supportGroup.columnBase.intTige.value2", b.intTige.value2);
    }
};

template <class V>
void visitFields(KivBL2Data& d, V& v)
{
    KivBL2Fields::visit(d, v);
}
template <class V>
void visitFields(const KivBL2Data& d, V& v)
{
    KivBL2Fields::visit(d, v);
}
