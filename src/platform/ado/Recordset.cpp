#include "platform/ado/Recordset.h"

#include "platform/ado/Backend.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Criteria.h"

#include <numeric>

namespace ado {

namespace detail {

struct RecordsetState {
    CursorLocationEnum location = static_cast<CursorLocationEnum>(0);  // 0: the connection's
    CursorTypeEnum cursorType = adOpenForwardOnly;
    LockTypeEnum lockType = adLockReadOnly;
    std::string source, filter;
    bool open = false;

    std::shared_ptr<Backend> backend;
    std::unique_ptr<Source> src;
    Rowset data;
    std::vector<size_t> visible;  // the filtered rows, as indexes into data.rows
    long long pos = 0;            // into visible: -1 is BOF, visible.size() is EOF
    bool deleted = false;         // the current record was deleted; pos is the one after it

    EditModeEnum mode = adEditNone;
    std::vector<Value> pending;
    std::vector<bool> changed;
    long long savedPos = 0;  // the current record before AddNew

    platform::Event<> moveComplete;

    ~RecordsetState()
    {
        if (open && src) {
            try {
                src->Finish();
            } catch (...) {
                // Nothing can be reported from here; Close reports the same failure.
            }
        }
    }

    long long Size() const { return static_cast<long long>(visible.size()); }

    void RequireOpen() const
    {
        if (!open) throw Error(adErrObjectClosed, "A operação não é permitida com o recordset fechado.");
    }

    bool Eof() const { return mode != adEditAdd && !deleted && pos >= Size(); }
    bool Bof() const { return mode != adEditAdd && !deleted && (pos < 0 || visible.empty()); }

    std::vector<Value>& CurrentRow()
    {
        if (deleted) throw Error(adErrNoCurrentRecord, "O registro atual foi excluído.");
        if (pos < 0 || pos >= Size())
            throw Error(adErrNoCurrentRecord, "Não há registro atual (início ou fim do recordset).");
        return data.rows[visible[static_cast<size_t>(pos)]];
    }

    const ColumnInfo& Column(int index) const
    {
        RequireOpen();
        if (index < 0 || index >= static_cast<int>(data.columns.size()))
            throw Error(adErrItemNotFound, "Não há campo número " + std::to_string(index) + " em '" + source + "'.");
        return data.columns[static_cast<size_t>(index)];
    }

    void RequireWritable() const
    {
        RequireOpen();
        if (lockType == adLockReadOnly)
            throw Error(adErrFeatureNotAvailable, "O recordset de '" + source + "' foi aberto somente para leitura.");
        if (!data.readOnlyReason.empty())
            throw Error(adErrFeatureNotAvailable,
                        "O recordset de '" + source + "' não pode ser alterado: " + data.readOnlyReason + ".");
    }

    void BeginEdit()
    {
        pending = CurrentRow();
        changed.assign(pending.size(), false);
        mode = adEditInProgress;
    }

    Changes PendingChanges() const
    {
        Changes c;
        for (size_t i = 0; i < pending.size(); ++i)
            if (changed[i]) c.emplace_back(static_cast<int>(i), pending[i]);
        return c;
    }

    void Update()
    {
        RequireOpen();
        if (mode == adEditAdd) {
            std::vector<Value> row;
            const long long key = src->Insert(PendingChanges(), row);
            data.rows.push_back(std::move(row));
            data.keys.push_back(key);
            visible.push_back(data.rows.size() - 1);
            pos = Size() - 1;
        } else if (mode == adEditInProgress) {
            const size_t index = visible[static_cast<size_t>(pos)];
            src->Update(data.keys[index], PendingChanges());
            data.rows[index] = pending;
        }
        mode = adEditNone;
        pending.clear();
        changed.clear();
    }

    // Before any move: a pending edit is saved (and the move abandoned when that fails).
    void Leave()
    {
        RequireOpen();
        if (mode != adEditNone) Update();
    }

    void Moved()
    {
        deleted = false;
        moveComplete.Raise();
    }

    void Load()
    {
        data = src->Fetch();
        ApplyFilter();
    }

    void ApplyFilter()
    {
        visible.resize(data.rows.size());
        std::iota(visible.begin(), visible.end(), size_t{0});
        if (!filter.empty()) {
            Criteria criteria(filter, data.columns);
            std::vector<size_t> kept;
            for (size_t i : visible)
                if (criteria.Matches(data.rows[i])) kept.push_back(i);
            visible.swap(kept);
        }
        pos = 0;
        deleted = false;
    }
};

}  // namespace detail

using detail::RecordsetState;

// --- Field and Fields ---

std::string Field::Name() const { return rs_->Column(index_).name; }
DataTypeEnum Field::Type() const { return rs_->Column(index_).type; }
long long Field::DefinedSize() const { return rs_->Column(index_).definedSize; }

ado::Value Field::Value() const
{
    rs_->Column(index_);
    if (rs_->mode != adEditNone) return rs_->pending[static_cast<size_t>(index_)];
    return rs_->CurrentRow()[static_cast<size_t>(index_)];
}

void Field::SetValue(const ado::Value& v)
{
    const detail::ColumnInfo& col = rs_->Column(index_);
    rs_->RequireWritable();
    if (col.baseName.empty())
        throw Error(adErrFeatureNotAvailable,
                    "O campo '" + col.name + "' não pode ser alterado: não é um campo de tabela.");
    ado::Value converted = detail::ConvertForColumn(col, v);
    if (rs_->mode == adEditNone) rs_->BeginEdit();
    rs_->pending[static_cast<size_t>(index_)] = std::move(converted);
    rs_->changed[static_cast<size_t>(index_)] = true;
}

int Fields::Count() const
{
    rs_->RequireOpen();
    return static_cast<int>(rs_->data.columns.size());
}

Field Fields::Item(int index) const
{
    rs_->Column(index);
    return Field(rs_, index);
}

Field Fields::Item(std::string_view name) const
{
    rs_->RequireOpen();
    const int i = detail::FindColumn(rs_->data.columns, name);
    if (i < 0)
        throw Error(adErrItemNotFound, "Campo '" + std::string(name) + "' não encontrado em '" + rs_->source + "'.");
    return Field(rs_, i);
}

// --- Recordset ---

Recordset::Recordset() : s_(std::make_shared<RecordsetState>()) {}

void Recordset::Open(const std::string& source, const Connection& activeConnection, CursorTypeEnum cursorType,
                     LockTypeEnum lockType, long options)
{
    if (s_->open) throw Error(adErrObjectOpen, "O recordset já está aberto.");
    auto backend = activeConnection.ActiveBackend();
    if (s_->location == 0) s_->location = activeConnection.CursorLocation();
    s_->cursorType = s_->location == adUseClient       ? adOpenStatic
                     : cursorType == adOpenUnspecified ? adOpenForwardOnly
                                                       : cursorType;
    s_->lockType = lockType == adLockUnspecified ? adLockOptimistic : lockType;
    s_->source = source;
    s_->filter.clear();
    s_->src = backend->Open(source, options);
    s_->backend = backend;
    s_->mode = adEditNone;
    try {
        s_->Load();
    } catch (...) {
        s_->src.reset();
        s_->backend.reset();
        throw;
    }
    s_->open = true;
    s_->Moved();
}

void Recordset::Close()
{
    s_->RequireOpen();
    s_->open = false;
    s_->mode = adEditNone;
    s_->pending.clear();
    s_->changed.clear();
    s_->data = {};
    s_->visible.clear();
    auto src = std::move(s_->src);
    s_->backend.reset();
    src->Finish();
}

ObjectStateEnum Recordset::State() const { return s_->open ? adStateOpen : adStateClosed; }
std::string Recordset::Source() const { return s_->source; }

bool Recordset::Eof() const
{
    s_->RequireOpen();
    return s_->Eof();
}

bool Recordset::Bof() const
{
    s_->RequireOpen();
    return s_->Bof();
}

void Recordset::MoveFirst()
{
    s_->Leave();
    s_->pos = 0;
    s_->Moved();
}

void Recordset::MoveLast()
{
    s_->Leave();
    s_->pos = s_->visible.empty() ? 0 : s_->Size() - 1;
    s_->Moved();
}

void Recordset::MoveNext()
{
    s_->Leave();
    if (!s_->deleted) {
        if (s_->Eof()) throw Error(adErrNoCurrentRecord, "MoveNext além do último registro (EOF).");
        ++s_->pos;
    }
    s_->Moved();
}

void Recordset::MovePrevious()
{
    s_->Leave();
    if (!s_->deleted && s_->Bof()) throw Error(adErrNoCurrentRecord, "MovePrevious antes do primeiro registro (BOF).");
    --s_->pos;
    s_->Moved();
}

void Recordset::Move(long long n)
{
    s_->Leave();
    if ((n > 0 && s_->Eof()) || (n < 0 && s_->Bof()))
        throw Error(adErrNoCurrentRecord, "Move além do fim ou do início do recordset.");
    if (n == 0) s_->CurrentRow();
    const long long base = s_->deleted && n > 0 ? s_->pos - 1 : s_->pos;
    s_->pos = std::clamp(base + n, -1LL, s_->Size());
    s_->Moved();
}

long long Recordset::AbsolutePosition() const
{
    s_->RequireOpen();
    if (s_->mode == adEditAdd || s_->deleted || s_->visible.empty()) return adPosUnknown;
    if (s_->pos < 0) return adPosBOF;
    if (s_->pos >= s_->Size()) return adPosEOF;
    return s_->pos + 1;
}

void Recordset::SetAbsolutePosition(long long position)
{
    s_->Leave();
    if (position < 1 || position > s_->Size())
        throw Error(adErrInvalidArgument, "Posição " + std::to_string(position) + " fora do recordset de " +
                                              std::to_string(s_->Size()) + " registros.");
    s_->pos = position - 1;
    s_->Moved();
}

long long Recordset::RecordCount() const
{
    s_->RequireOpen();
    return s_->Size();
}

ado::Fields Recordset::Fields() const
{
    s_->RequireOpen();
    return ado::Fields(s_);
}

Field Recordset::Fields(int index) const { return ado::Fields(s_).Item(index); }
Field Recordset::Fields(std::string_view name) const { return ado::Fields(s_).Item(name); }

std::string Recordset::Filter() const { return s_->filter; }

void Recordset::SetFilter(const std::string& criteria)
{
    s_->Leave();
    const std::string old = s_->filter;
    s_->filter = criteria;
    try {
        s_->ApplyFilter();
    } catch (...) {
        s_->filter = old;
        s_->ApplyFilter();
        throw;
    }
    s_->Moved();
}

void Recordset::Find(const std::string& criteria, long long skipRecords, SearchDirectionEnum searchDirection)
{
    s_->Leave();
    detail::Criteria c(criteria, s_->data.columns);
    const long long step = searchDirection == adSearchBackward ? -1 : 1;
    long long i = (s_->deleted && step > 0 ? s_->pos - 1 : s_->pos) + step * skipRecords;
    if (step > 0 && i < 0) i = 0;
    if (step < 0 && i >= s_->Size()) i = s_->Size() - 1;
    for (; i >= 0 && i < s_->Size(); i += step)
        if (c.Matches(s_->data.rows[s_->visible[static_cast<size_t>(i)]])) break;
    s_->pos = std::clamp(i, -1LL, s_->Size());
    s_->Moved();
}

void Recordset::AddNew()
{
    s_->Leave();
    s_->RequireWritable();
    s_->pending.assign(s_->data.columns.size(), Value());
    s_->changed.assign(s_->data.columns.size(), false);
    s_->savedPos = s_->pos;
    s_->mode = adEditAdd;
    s_->Moved();
}

void Recordset::Edit()
{
    s_->RequireWritable();
    if (s_->mode == adEditNone) s_->BeginEdit();
}

void Recordset::Update() { s_->Update(); }

void Recordset::CancelUpdate()
{
    s_->RequireOpen();
    const bool adding = s_->mode == adEditAdd;
    s_->mode = adEditNone;
    s_->pending.clear();
    s_->changed.clear();
    if (adding) {
        s_->pos = s_->savedPos;
        s_->Moved();
    }
}

void Recordset::Delete()
{
    s_->RequireWritable();
    if (s_->mode == adEditAdd) {
        CancelUpdate();
        return;
    }
    s_->CurrentRow();
    s_->mode = adEditNone;
    const size_t index = s_->visible[static_cast<size_t>(s_->pos)];
    s_->src->Delete(s_->data.keys[index]);
    s_->data.rows.erase(s_->data.rows.begin() + static_cast<long>(index));
    s_->data.keys.erase(s_->data.keys.begin() + static_cast<long>(index));
    s_->visible.erase(s_->visible.begin() + static_cast<long>(s_->pos));
    for (size_t& v : s_->visible)
        if (v > index) --v;
    s_->deleted = true;
}

void Recordset::Requery()
{
    s_->Leave();
    s_->Load();
    s_->Moved();
}

EditModeEnum Recordset::EditMode() const
{
    s_->RequireOpen();
    return s_->mode;
}

CursorTypeEnum Recordset::CursorType() const { return s_->cursorType; }
LockTypeEnum Recordset::LockType() const { return s_->lockType; }

CursorLocationEnum Recordset::CursorLocation() const { return s_->location == 0 ? adUseServer : s_->location; }

void Recordset::SetCursorLocation(CursorLocationEnum location)
{
    if (s_->open) throw Error(adErrObjectOpen, "A posição do cursor não pode mudar com o recordset aberto.");
    s_->location = location;
}

platform::Event<>& Recordset::MoveComplete() { return s_->moveComplete; }

}  // namespace ado
