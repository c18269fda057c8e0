#pragma once
// What owns controls (a form or a user control): creating them by name, in a
// container, alone or as control arrays, and finding them by name.

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Control.h"

namespace forms {

class ControlHost;
template <class T>
class ControlArray;

// Form.Controls: every control of the form or user control, arrays' elements
// included, in creation order; controls inside a hosted user control belong
// to that user control.
class ControlCollection {
public:
    int Count() const;
    Control& Item(int i) const;  // 0-based
    Control& Item(const std::string& name, int index = -1) const;
    Control* Find(const std::string& name, int index = -1) const;  // nullptr when absent

    class iterator {
    public:
        iterator(const std::vector<std::unique_ptr<Control>>* v, std::size_t i) : v_(v), i_(i) {}
        Control& operator*() const { return *(*v_)[i_]; }
        iterator& operator++()
        {
            ++i_;
            return *this;
        }
        bool operator!=(const iterator& o) const { return i_ != o.i_; }

    private:
        const std::vector<std::unique_ptr<Control>>* v_;
        std::size_t i_;
    };
    iterator begin() const;
    iterator end() const;

private:
    friend class ControlHost;
    explicit ControlCollection(const ControlHost* host) : host_(host) {}
    const ControlHost* host_;
};

// A control array: elements share a name and tell their events apart by Index.
// Subscribing to the array's events reaches every element, those loaded at run
// time included, with the element's Index as first argument.
class ControlArrayBase {
public:
    ControlArrayBase(const ControlArrayBase&) = delete;
    ControlArrayBase& operator=(const ControlArrayBase&) = delete;
    virtual ~ControlArrayBase();

    const std::string& Name() const { return name_; }
    int Count() const { return static_cast<int>(items_.size()); }
    int LBound() const;
    int UBound() const;
    bool Exists(int index) const { return items_.count(index) != 0; }

    // VB's Load: a new element in the container of the lowest element, with
    // that element's properties, hidden until made visible. Error 360 if the
    // index is taken.
    void Load(int index);
    // VB's Unload of an element loaded at run time (Error 362 for the others,
    // 340 for an index that does not exist).
    void Unload(int index);

    Control& ItemBase(int index) const;  // Error 340 when absent

    platform::Event<int> Click;
    platform::Event<int> DblClick;
    platform::Event<int> Change;
    platform::Event<int> GotFocus;
    platform::Event<int> LostFocus;
    platform::Event<int> Scroll;
    platform::Event<int, int&, int> KeyDown;
    platform::Event<int, int&, int> KeyUp;
    platform::Event<int, int&> KeyPress;
    platform::Event<int, int, int, double, double> MouseDown;
    platform::Event<int, int, int, double, double> MouseMove;
    platform::Event<int, int, int, double, double> MouseUp;

protected:
    ControlArrayBase(ControlHost& host, Container& in, std::string name);
    virtual std::unique_ptr<Control> Make(Control::Init init) = 0;
    virtual void Relay(Control& element, int index);
    Control& Create(int index, Container& in, bool atRunTime);

    std::map<int, Control*> items_;

private:
    friend class ControlHost;
    ControlHost* host_;
    Container* in_;
    std::string name_;
};

template <class T>
class ControlArray : public ControlArrayBase {
public:
    T& operator()(int index) const { return static_cast<T&>(ItemBase(index)); }
    T& Item(int index) const { return static_cast<T&>(ItemBase(index)); }
    // A design-time element placed in another container than the array's first
    // elements: VB lets the elements of one array sit in different frames or
    // tab pages.
    T& AddElement(int index, Container& in) { return static_cast<T&>(Create(index, in, false)); }

    class iterator {
    public:
        explicit iterator(std::map<int, Control*>::const_iterator it) : it_(it) {}
        T& operator*() const { return static_cast<T&>(*it_->second); }
        iterator& operator++()
        {
            ++it_;
            return *this;
        }
        bool operator!=(const iterator& o) const { return it_ != o.it_; }

    private:
        std::map<int, Control*>::const_iterator it_;
    };
    iterator begin() const { return iterator(items_.begin()); }
    iterator end() const { return iterator(items_.end()); }

private:
    friend class ControlHost;
    ControlArray(ControlHost& host, Container& in, std::string name) : ControlArrayBase(host, in, std::move(name)) {}
    std::unique_ptr<Control> Make(Control::Init init) override { return std::unique_ptr<T>(new T(std::move(init))); }
    void Relay(Control& element, int index) override
    {
        ControlArrayBase::Relay(element, index);
        if constexpr (requires(T & t) { t.Scroll.Raise(); })
            static_cast<T&>(element).Scroll += [this, index] { Scroll.Raise(index); };
    }
};

class ControlHost : public Container {
public:
    ~ControlHost() override;

    // Creates a control of kind T named `name` on this host (or in `in`, a
    // container of this host). Set its design properties next, then subscribe
    // to its events.
    template <class T>
    T& Add(const std::string& name)
    {
        return Add<T>(name, *this);
    }
    template <class T>
    T& Add(const std::string& name, Container& in)
    {
        auto c = std::unique_ptr<T>(new T(MakeInit(in, name, -1)));
        T& r = *c;
        Adopt(std::move(c));
        return r;
    }

    // Creates a control array with the design-time elements `indexes`.
    template <class T>
    ControlArray<T>& AddArray(const std::string& name, std::initializer_list<int> indexes)
    {
        return AddArray<T>(name, indexes, *this);
    }
    template <class T>
    ControlArray<T>& AddArray(const std::string& name, std::initializer_list<int> indexes, Container& in)
    {
        auto a = std::unique_ptr<ControlArray<T>>(new ControlArray<T>(*this, in, name));
        ControlArray<T>& r = *a;
        AdoptArray(std::move(a));
        for (int i : indexes) r.Create(i, in, false);
        return r;
    }

    ControlCollection Controls() const { return ControlCollection(this); }
    Control& Controls(const std::string& name, int index = -1) const { return Controls().Item(name, index); }
    template <class T>
    T& Controls(const std::string& name, int index = -1) const
    {
        return Controls(name, index).template As<T>();
    }
    ControlArrayBase& Array(const std::string& name) const;  // Error 340 when absent

    // False until the host is loaded (a form) or sited on its host (a user
    // control); until then property settings are design values.
    bool Loaded() const;

protected:
    ControlHost();
    Control::Init MakeInit(Container& in, const std::string& name, int index);

private:
    friend class ControlCollection;
    friend class ControlArrayBase;
    void Adopt(std::unique_ptr<Control> c);
    void AdoptArray(std::unique_ptr<ControlArrayBase> a);
    void Destroy(Control* c);

    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<std::unique_ptr<ControlArrayBase>> arrays_;
};

}  // namespace forms
