#pragma once

#include "KivNorvikGroupLayout.h"

// The record and member types of a pointer to member.
template <class T>
struct KivNorvikMemberOf;
template <class R, class M>
struct KivNorvikMemberOf<M R::*>
{
    using Record = R;
    using Member = M;
};

// A group as the writer writes it: the rows of one of the kind's groups,
// written from one member of the record. A kind's written groups are listed
// in writer order; a group the reader knows once may be written several
// times (the two beam sides, the two diagonals). Internal to the library.
struct KivNorvikWrittenGroup
{
    int group = 0;              // the kind's group whose header and rows it writes
    const char* path = nullptr; // the member's path in the record
    KivNorvikTarget (*member)(const KivNorvikData& record) = nullptr;
    KivNorvikCondition when;      // a test of the record
    const char* reason = nullptr; // the record check's reason when it is not written
    // A header chosen by a code of the member: the group whose header reads
    // it is the written group of the same choice whose `own` code it is.
    KivNorvikChoice header;
    // A numbered header ("DIAG_1"): the member's number after the prefix.
    KivNorvikCodeFn number = nullptr;
    const char* numberField = nullptr;
    // What reading the group does besides its rows, for the record check:
    // the member starts afresh with each group; a text field of the record
    // is set (the "ACR" group keeps its choice in potGroup.con).
    bool replaces = false;
    const char* setsField = nullptr;
    const wchar_t* setsText = nullptr;
    // A field of the member whose value the writer cannot say, when a test of
    // the record holds.
    KivNorvikOutside outside;

    // The object of `member` in a record of its class.
    template <auto member>
    static KivNorvikTarget memberOf(const KivNorvikData& record)
    {
        using Record = typename KivNorvikMemberOf<decltype(member)>::Record;
        const Record& typed = static_cast<const Record&>(record);
        return KivNorvikTarget::of(typed.*member);
    }
    // The group `group` written from the record's member `pointer` at `path`, always.
    template <auto pointer>
    static KivNorvikWrittenGroup of(int group, const char* path)
    {
        KivNorvikWrittenGroup w;
        w.group = group;
        w.path = path;
        w.member = memberOf<pointer>;
        return w;
    }
};

// The groups of a kind: those the reader knows, and those the writer writes
// in its order.
struct KivNorvikKindLayout
{
    const KivNorvikGroupLayout* groups;
    int groupCount;
    const KivNorvikWrittenGroup* written;
    int writtenCount;

    // The group whose header is the whole line, or null.
    const KivNorvikGroupLayout* findGroup(const char* line, size_t length) const;
};
