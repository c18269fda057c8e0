#pragma once
// A set of records read from a connection, with a current record, the moves,
// filters, searches and edits of the automation library the system was
// written against.
//
// Like the objects it mirrors, a Recordset is a handle: copies share one
// recordset, and the recordset keeps its connection's data open while it
// lives. All rows are read when the recordset opens (and again on Requery),
// so RecordCount is exact for every cursor type and every move is allowed;
// what was written through it is in its file when Update returns (databases:
// in the connection's transaction, which closing the recordset or the
// connection commits; workbooks: when the recordset closes).
//
// Semantics kept from the original:
// - an empty recordset has Bof() and Eof() both true; MoveNext at Eof() and
//   MovePrevious at Bof() fail with adErrNoCurrentRecord (3021);
// - assigning a field starts an edit (Edit() does the same explicitly and
//   fails with 3021 past the last record); any move, AddNew, Requery or a new
//   Filter saves a pending edit first, and when that save fails the move does
//   not happen; Close discards a pending edit;
// - after AddNew the new record is current (Eof() false) until Update stores
//   it at the end of the set, or CancelUpdate returns to the previous record;
// - after Delete the current record is the deleted one until the next move,
//   which goes to the record that followed it;
// - Filter: "Field op value" joined by And/Or, op one of = <> < > <= >= Like,
//   values 'text', numbers, True, False or Null; "" clears it. It applies to
//   moves, RecordCount and AbsolutePosition until cleared;
// - MoveComplete is raised after every completed move, including opening,
//   AddNew, Requery, Filter and Find.
//
// The EOF and BOF properties are Eof() and Bof(): EOF is a macro of the C
// library.

#include "platform/Event.h"
#include "platform/ado/Constants.h"
#include "platform/ado/Error.h"
#include "platform/ado/Value.h"

#include <iterator>
#include <memory>
#include <string>
#include <string_view>

namespace ado {

class Connection;
class Fields;
class Recordset;

namespace detail {
struct RecordsetState;
}

class Field {
public:
    std::string Name() const;
    ado::Value Value() const;
    void SetValue(const ado::Value& v);
    DataTypeEnum Type() const;
    long long DefinedSize() const;

private:
    friend class Fields;
    friend class Recordset;
    Field(std::shared_ptr<detail::RecordsetState> rs, int index) : rs_(std::move(rs)), index_(index) {}
    std::shared_ptr<detail::RecordsetState> rs_;
    int index_;
};

class Fields {
public:
    int Count() const;
    Field Item(int index) const;
    Field Item(std::string_view name) const;

    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Field;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Field;
        Field operator*() const { return Field(rs_, i_); }
        iterator& operator++()
        {
            ++i_;
            return *this;
        }
        iterator operator++(int)
        {
            iterator t = *this;
            ++i_;
            return t;
        }
        bool operator==(const iterator& o) const { return i_ == o.i_; }

    private:
        friend class Fields;
        iterator(std::shared_ptr<detail::RecordsetState> rs, int i) : rs_(std::move(rs)), i_(i) {}
        std::shared_ptr<detail::RecordsetState> rs_;
        int i_;
    };
    iterator begin() const { return iterator(rs_, 0); }
    iterator end() const { return iterator(rs_, Count()); }

private:
    friend class Recordset;
    explicit Fields(std::shared_ptr<detail::RecordsetState> rs) : rs_(std::move(rs)) {}
    std::shared_ptr<detail::RecordsetState> rs_;
};

class Recordset {
public:
    Recordset();

    // `source`: SQL text or a table name (a sheet "Plan1$" for workbooks).
    void Open(const std::string& source, const Connection& activeConnection,
              CursorTypeEnum cursorType = adOpenUnspecified, LockTypeEnum lockType = adLockUnspecified,
              long options = adCmdUnspecified);
    void Close();
    ObjectStateEnum State() const;
    std::string Source() const;

    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long long numRecords);
    // 1-based; adPosBOF, adPosEOF or adPosUnknown when there is no current record.
    long long AbsolutePosition() const;
    void SetAbsolutePosition(long long position);
    long long RecordCount() const;

    ado::Fields Fields() const;
    Field Fields(int index) const;
    Field Fields(std::string_view name) const;  // without regard to case; "Table.Column" also found

    std::string Filter() const;
    void SetFilter(const std::string& criteria);
    // Moves to the first record from the current one (after skipping
    // `skipRecords`) that meets `criteria`; to Eof() (Bof() backwards) when none does.
    void Find(const std::string& criteria, long long skipRecords = 0,
              SearchDirectionEnum searchDirection = adSearchForward);

    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    void Delete();
    void Requery();
    EditModeEnum EditMode() const;

    // A client-side cursor is always static, as in the original. An
    // unspecified lock type does not forbid writes (only adLockReadOnly does)
    // and is reported as optimistic.
    CursorTypeEnum CursorType() const;
    LockTypeEnum LockType() const;
    CursorLocationEnum CursorLocation() const;
    void SetCursorLocation(CursorLocationEnum location);

    platform::Event<>& MoveComplete();

private:
    std::shared_ptr<detail::RecordsetState> s_;
};

}  // namespace ado
