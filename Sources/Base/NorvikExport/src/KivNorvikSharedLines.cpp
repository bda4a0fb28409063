#include "KivNorvikSharedLines.h"

#include "KivNorvikData.h"

using Line = KivNorvikLineWalker::Line;
using Datum = KivNorvikLineWalker::Datum;

// clang-format off
void KivNorvikSharedLines::section(KivNorvikLineWalker& w, const std::string& f,
                                   const NorvikGlobalData::BL12Section& s, int minTokens)
{
    codeRange(w, f + ".type", s.type, 0, 1, "a section type other than 0 (PRO) and 1 (I) writes no line");
    w.line(Line("PRO")
               .when("exportPRO", "type 0 and both profile texts set", s.exportPRO())
               .code(f + ".type", s.type)
               .text(f + ".profile.text1", s.profile.text1)
               .text(f + ".profile.text2", s.profile.text2)
               .sets(f + ".type", Datum::of(0))
               .minTokens(minTokens));
    const NorvikGlobalData::BL12SectionByDimension& d = s.dimension;
    w.line(Line("I")
               .when("exportI", "type 1 and the five dimensions set", !s.exportPRO() && s.exportI())
               .code(f + ".type", s.type)
               .real(f + ".dimension.dim1", d.dim1)
               .real(f + ".dimension.dim2", d.dim2)
               .real(f + ".dimension.dim3", d.dim3)
               .real(f + ".dimension.dim4", d.dim4)
               .real(f + ".dimension.dim5", d.dim5)
               .sets(f + ".type", Datum::of(1))
               .minTokens(minTokens));
}

void KivNorvikSharedLines::section(KivNorvikLineWalker& w, const std::string& f,
                                   const NorvikGlobalData::Section& s, int mode)
{
    const bool connection = mode == 1;
    codeRange(w, f + ".type", s.type, 0, 1,
              "a section type other than 0 (PRF) and 1 (DIM) writes no line");
    w.line(Line(connection ? "CONNEC_SEC  PRF" : "SECTION  PRF")
               .when("exportPRF", "type 0 and both profile texts set", s.exportPRF())
               .code(f + ".type", s.type)
               .text(f + ".profile.text1", s.profile.text1)
               .text(f + ".profile.text2", s.profile.text2)
               .sets(f + ".type", Datum::of(0))
               .minTokens(4));
    // The reader takes the shapes 1, 3, 4, 7 and 8 only and stops at any other.
    const NorvikGlobalData::SectionByDimensionAttributes& d = s.dimension;
    const int shape = d.shape;
    const bool known = shape == 1 || shape == 3 || shape == 4 || shape == 7 || shape == 8;
    const bool dimensions = !s.exportPRF() && s.exportDIM();
    if (dimensions && !known) {
        w.outsideTable(f + ".dimension.shape",
                       "the reader knows the shapes 1, 3, 4, 7 and 8 only and stops at this one");
    }
    Line line(connection ? "CONNEC_SEC  DIM" : "SECTION  DIM");
    line.when("exportDIM", "type 1 and the five dimensions set", dimensions)
        .code(f + ".type", s.type)
        .integer(f + ".dimension.shape", shape)
        .real(f + ".dimension.dim2", d.dim2)
        .real(f + ".dimension.dim4", d.dim4)
        .real(f + ".dimension.dim1", d.dim1)
        .real(f + ".dimension.dim3", d.dim3)
        .real(f + ".dimension.dim5", d.dim5)
        .sets(f + ".type", Datum::of(1))
        .minTokens(8);
    if (!known && !w.describing()) {
        line = Line(connection ? "CONNEC_SEC  DIM" : "SECTION  DIM");
        line.when("exportDIM", "type 1 and the five dimensions set", dimensions)
            .code(f + ".type", s.type)
            .integer(f + ".dimension.shape", shape).into("")
            .real(f + ".dimension.dim2", d.dim2).into("")
            .real(f + ".dimension.dim4", d.dim4).into("")
            .real(f + ".dimension.dim1", d.dim1).into("")
            .real(f + ".dimension.dim3", d.dim3).into("")
            .real(f + ".dimension.dim5", d.dim5).into("")
            .sets(f + ".type", Datum::of(1))
            .minTokens(8);
    }
    w.line(line);
}

void KivNorvikSharedLines::loading(KivNorvikLineWalker& w, const std::string& array, int index,
                                   const NorvikGlobalData::GenLoading& l)
{
    Line line("CHA");
    if (index == -2) {
        line.integer(array + ".number", l.number, "%3d")
            .text(array + ".text1", l.text1)
            .text(array + ".text2", l.text2)
            .integer(array + ".type", l.type);
    } else {
        line.element(array, index)
            .integer("number", l.number, "%3d")
            .text("text1", l.text1)
            .text("text2", l.text2)
            .integer("type", l.type);
    }
    w.line(line);
}

void KivNorvikSharedLines::origin(KivNorvikLineWalker& w)
{
    w.line(Line("ORIGINE").word("Olmarin").word("%d.%d"));
}

void KivNorvikSharedLines::codeRange(KivNorvikLineWalker& w, const std::string& field, int code,
                                     int low, int high, const char* what)
{
    if (KivNorvikData::isDefined(code) && (code < low || code > high)) {
        w.outsideTable(field, what);
    }
}
// clang-format on
