#pragma once

#include "NorvikGlobalData.h"

#include <KivArray.h>
#include <KivString.h>

#include <string>
#include <type_traits>

// Field enumeration of the records: each kind's Fields class calls a visitor
// with the dotted path and a reference to every int, double and KivString
// field ("generalGroup.xy[0]", "generalGroup.loadings[2].text1"), const when
// the record is const. Array lengths are not visited; the elements present are.
// Tests, tools and conversions walk records through these instead of naming
// every field again.
//
// A visitor that declares `static constexpr bool walksStructure = true` also
// gets two calls of its own: `v.elements(path, items, each)` for every
// KivArray, which walks (or first resizes) the array itself, `each(item,
// itemPath)` visiting one element's fields, so it sees the element fields of
// an empty array too; and `v.code(path, field, count)` for every integer that
// is a code 0 .. count-1 selecting a word or a line, in place of `v(path, field)`.
struct KivNorvikFields
{
    template <class V, class = void>
    struct walksStructure : std::false_type
    {
    };
    template <class V>
    struct walksStructure<V, std::void_t<decltype(V::walksStructure)>> : std::true_type
    {
    };

    template <class V, class I>
    static void code(V& v, const std::string& path, I& field, int count)
    {
        if constexpr (walksStructure<V>::value) {
            v.code(path, field, count);
        } else {
            v(path, field);
        }
    }

    template <class V, class T, size_t N>
    static void array(V& v, const std::string& path, T (&values)[N])
    {
        for (size_t i = 0; i < N; ++i) {
            v(path + "[" + std::to_string(i) + "]", values[i]);
        }
    }

    // A Section or a BL12Section.
    template <class V, class S>
    static void section(V& v, const std::string& path, S& s)
    {
        code(v, path + ".type", s.type, 2); // 0 by profile, 1 by dimensions
        v(path + ".profile.text1", s.profile.text1);
        v(path + ".profile.text2", s.profile.text2);
        if constexpr (std::is_same_v<std::remove_const_t<S>, NorvikGlobalData::Section>) {
            v(path + ".dimension.shape", s.dimension.shape);
        }
        v(path + ".dimension.dim1", s.dimension.dim1);
        v(path + ".dimension.dim2", s.dimension.dim2);
        v(path + ".dimension.dim3", s.dimension.dim3);
        v(path + ".dimension.dim4", s.dimension.dim4);
        v(path + ".dimension.dim5", s.dimension.dim5);
    }

    template <class V, class L>
    static void loading(V& v, const std::string& path, L& l)
    {
        v(path + ".number", l.number);
        v(path + ".text1", l.text1);
        v(path + ".text2", l.text2);
        v(path + ".type", l.type);
    }

    // Each element of an array through `element(v, path, e)`.
    template <class V, class A, class F>
    static void elements(V& v, const std::string& path, A& items, F element)
    {
        if constexpr (walksStructure<V>::value) {
            v.elements(path, items, [&](auto& item, const std::string& p) { element(v, p, item); });
            return;
        }
        for (int i = 0; i < items.getLength(); ++i) {
            element(v, path + "[" + std::to_string(i) + "]", items[i]);
        }
    }
};
