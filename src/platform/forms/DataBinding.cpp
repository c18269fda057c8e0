#include "platform/forms/DataBinding.h"

#include "platform/forms/Controls.h"
#include "platform/forms/Private.h"

#include <memory>
#include <string>

namespace forms {

namespace {

struct TextBinding {
    TextBox* box = nullptr;
    ado::Recordset rs;
    platform::ScopedConnection moved;
    platform::ScopedConnection changed;
    bool showing = false;
    bool assigned = false;  // a typed text went into the field since it was shown
    ado::Value shown;       // the field's value as last shown
    std::optional<ado::Error> refused;

    bool HasCurrentRecord() const { return rs.State() == ado::adStateOpen && !rs.Eof() && !rs.Bof(); }

    // The field's value goes into the box without counting as an edit.
    void Show()
    {
        shown = ado::Value();
        if (HasCurrentRecord() && !box->DataField().empty()) {
            try {
                shown = rs.Fields(box->DataField()).Value();
            } catch (const ado::Error&) {
                // A field that went away with a reopened query: the box stays empty.
            }
        }
        showing = true;
        try {
            box->SetText(shown.TextOr(""));
        } catch (...) {
            showing = false;
            throw;
        }
        showing = false;
        box->SetDataChanged(false);
        assigned = false;
        refused.reset();
    }

    void Typed()
    {
        if (showing) return;
        box->SetDataChanged(true);
        const std::string text = box->Text();
        try {
            if (box->DataField().empty())
                throw ado::Error(ado::adErrItemNotFound,
                                 "A caixa de texto '" + box->Name() + "' não tem campo associado.");
            rs.Fields(box->DataField()).SetValue(text.empty() ? ado::Value() : ado::Value(text));
            assigned = true;
            refused.reset();
        } catch (const ado::Error& e) {
            refused = e;
            // What an earlier keystroke assigned ("1" of "1a") must not be
            // saved in place of the refused text.
            if (assigned) {
                try {
                    rs.Fields(box->DataField()).SetValue(shown);
                    assigned = false;
                } catch (const ado::Error&) {
                    // The record is gone; nothing of this box can be saved.
                }
            }
        }
    }
};

TextBinding* BindingOf(TextBox& box) { return static_cast<TextBinding*>(detail::DataBindingOf(box).get()); }

std::shared_ptr<TextBinding> KeepBinding(TextBox& box)
{
    return std::static_pointer_cast<TextBinding>(detail::DataBindingOf(box));
}

}  // namespace

void SetDataSource(TextBox& box, const ado::Recordset& recordset)
{
    ClearDataSource(box);
    if (recordset.State() == ado::adStateOpen && !box.DataField().empty())
        (void)recordset.Fields(box.DataField());  // throws for a field that is not there

    auto b = std::make_shared<TextBinding>();
    b->box = &box;
    b->rs = recordset;
    // A handler of the box's Change may let the binding go while it runs:
    // each call keeps it alive to its end.
    std::weak_ptr<TextBinding> w = b;
    b->moved = b->rs.MoveComplete().Connect([w] {
        if (auto k = w.lock()) k->Show();
    });
    b->changed = box.Change.Connect([w] {
        if (auto k = w.lock()) k->Typed();
    });
    detail::DataBindingOf(box) = b;
    b->Show();
}

void ClearDataSource(TextBox& box)
{
    auto& slot = detail::DataBindingOf(box);
    // Disconnect before the binding goes, in case a raise is walking it.
    if (auto* b = BindingOf(box)) {
        b->moved.Reset();
        b->changed.Reset();
    }
    slot.reset();
}

std::optional<ado::Recordset> DataSource(TextBox& box)
{
    if (auto* b = BindingOf(box)) return b->rs;
    return std::nullopt;
}

std::optional<ado::Error> DataError(TextBox& box)
{
    if (auto* b = BindingOf(box)) return b->refused;
    return std::nullopt;
}

namespace detail {

void DataFieldChanged(TextBox& box)
{
    if (auto b = KeepBinding(box)) b->Show();
}

}  // namespace detail

}  // namespace forms
