#pragma once
// A VB user control: a control made of controls, placed on a form (or on
// another user control) like any other control, with properties kept in a
// property bag that lives for the run.
//
//     class ProgressBar : public forms::UserControl {
//     public:
//         explicit ProgressBar(Init init);
//     };
//     // on its host: auto& Progress1 = Add<ProgressBar>("Progress1");
//
// When its host is loaded the control is sited: InitProperties (only the
// first time this host's control is sited in the run), ReadProperties with
// what the run's bag holds for it, then Resize. When the host is unloaded,
// WriteProperties runs if PropertyChanged was called, and the bag is kept for
// the next instance of the same host and control name.
//
// A control declares the settings it keeps once, as a table of name in the
// bag, member and default, and hands it to KeepSettings:
//
//     const forms::Settings<ProgressBar> ProgressBar::kSettings = {
//         {"Caption", &ProgressBar::caption_, ""},
//         {"EnabledTimer", &ProgressBar::enabledTimer_, false},
//     };
//     KeepSettings(kSettings); // in the constructor

#include <cmath>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "platform/forms/Canvas.h"
#include "platform/forms/ControlHost.h"
#include "platform/forms/Picture.h"

namespace forms {

class PropertyBag {
public:
    using Value = std::variant<bool, long long, double, std::string>;

    // The stored value converted to the default's type, or the default when
    // the bag has no such property (names ignore letter case).
    template <class T>
    T ReadProperty(const std::string& name, const T& defaultValue) const
    {
        const Value* v = Find(name);
        if (!v) return defaultValue;
        if constexpr (std::is_same_v<T, bool>)
            return ToBool(*v, defaultValue);
        else if constexpr (std::is_integral_v<T>)
            return static_cast<T>(ToInteger(*v, defaultValue));
        else if constexpr (std::is_floating_point_v<T>)
            return static_cast<T>(ToDouble(*v, defaultValue));
        else
            return T(ToText(*v));
    }
    std::string ReadProperty(const std::string& name, const char* defaultValue) const
    {
        return ReadProperty<std::string>(name, std::string(defaultValue));
    }

    // Stores the value; a value equal to its default is not stored (reading
    // it back gives the default), as VB writes only non-default properties.
    template <class T, class D>
    void WriteProperty(const std::string& name, const T& value, const D& defaultValue)
    {
        Value v = ToValue(value);
        if (v == ToValue(defaultValue))
            Remove(name);
        else
            Store(name, std::move(v));
    }
    template <class T>
    void WriteProperty(const std::string& name, const T& value)
    {
        Store(name, ToValue(value));
    }

    bool Contains(const std::string& name) const { return Find(name) != nullptr; }
    int Count() const { return static_cast<int>(values_.size()); }

private:
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    template <class T>
    static Value ToValue(const T& v)
    {
        if constexpr (std::is_same_v<T, bool>)
            return v;
        else if constexpr (std::is_integral_v<T>)
            return static_cast<long long>(v);
        else if constexpr (std::is_floating_point_v<T>)
            return static_cast<double>(v);
        else
            return std::string(v);
    }
    const Value* Find(const std::string& name) const;
    void Store(const std::string& name, Value v);
    void Remove(const std::string& name);
    static bool ToBool(const Value& v, bool def);
    static long long ToInteger(const Value& v, long long def);
    static double ToDouble(const Value& v, double def);
    static std::string ToText(const Value& v);

    std::map<std::string, Value, NoCase> values_;
};

// One row of a control's settings table. The member's type is the type kept:
// the default is converted to it, the bag reads the value back as it, and a
// value equal to the default is left out of the bag.
template <class C>
class Setting {
public:
    template <class T>
    Setting(const char* name, T C::*member, std::type_identity_t<T> defaultValue)
        : name_(name), kept_(Kept<T>{member, std::move(defaultValue)})
    {
    }

    void Init(C& c) const
    {
        std::visit([&](const auto& k) { c.*k.member = k.def; }, kept_);
    }
    void Read(C& c, const PropertyBag& bag) const
    {
        std::visit([&](const auto& k) { c.*k.member = bag.ReadProperty(name_, k.def); }, kept_);
    }
    void Write(const C& c, PropertyBag& bag) const
    {
        std::visit([&](const auto& k) { bag.WriteProperty(name_, c.*k.member, k.def); }, kept_);
    }

private:
    template <class T>
    struct Kept {
        T C::*member;
        T def;
    };
    std::string name_;
    std::variant<Kept<bool>, Kept<int>, Kept<long>, Kept<double>, Kept<std::string>> kept_;
};

template <class C>
using Settings = std::vector<Setting<C>>;

class UserControl : public Control, public ControlHost, public Canvas {
public:
    explicit UserControl(Init init);
    ~UserControl() override;

    // Tells the host that a property changed, so that WriteProperties runs
    // when the host is unloaded.
    void PropertyChanged(const std::string& name = "");
    // VB's Size method.
    void Size(double width, double height);

    int BorderStyle() const;  // 0 none, 1 fixed single
    void SetBorderStyle(int style);
    forms::Picture Picture() const;
    void SetPicture(const forms::Picture& picture);

    // The key of this control's bag in the run ("Form1.SD", "Form1.SD.InsMenu").
    std::string BagKey() const;
    // VB's hDC: here a number that identifies the control's surface for the run.
    long hDC() const { return hWnd(); }

    platform::Event<> InitProperties;
    platform::Event<PropertyBag&> ReadProperties;
    platform::Event<PropertyBag&> WriteProperties;
    platform::Event<> Paint;
    platform::Event<> Resize;
    platform::Event<> Show;  // the host form is first shown

protected:
    // Walks the table on InitProperties (every default), ReadProperties (what
    // the bag holds, or the default) and WriteProperties (what differs from
    // the default). Handlers the control subscribes afterwards run after the
    // walk, with the settings already in place. The table must outlive the
    // control (a static one does).
    template <class C>
    void KeepSettings(const Settings<C>& table)
    {
        static_assert(std::is_base_of_v<UserControl, C>);
        InitProperties += [this, &table] {
            for (const Setting<C>& s : table) s.Init(static_cast<C&>(*this));
        };
        ReadProperties += [this, &table](PropertyBag& bag) {
            for (const Setting<C>& s : table) s.Read(static_cast<C&>(*this), bag);
        };
        WriteProperties += [this, &table](PropertyBag& bag) {
            for (const Setting<C>& s : table) s.Write(static_cast<const C&>(*this), bag);
        };
    }
};

}  // namespace forms
