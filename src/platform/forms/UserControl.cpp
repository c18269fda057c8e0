// User controls and the property bags that keep their settings for the run.

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "platform/forms/Private.h"
#include "platform/forms/UserControl.h"
#include "platform/ProcessState.h"

namespace forms {

// ---------------------------------------------------------------- PropertyBag

bool PropertyBag::NoCase::operator()(const std::string& a, const std::string& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

const PropertyBag::Value* PropertyBag::Find(const std::string& name) const
{
    auto it = values_.find(name);
    return it == values_.end() ? nullptr : &it->second;
}

void PropertyBag::Store(const std::string& name, Value v) { values_.insert_or_assign(name, std::move(v)); }

void PropertyBag::Remove(const std::string& name) { values_.erase(name); }

namespace {

// Numbers in the bag's texts are read with "." or "," as decimal separator.
std::optional<double> ParseNumber(std::string s)
{
    s.erase(std::remove_if(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); }), s.end());
    std::replace(s.begin(), s.end(), ',', '.');
    if (s.empty()) return std::nullopt;
    double v = 0;
    const char* first = s.data();
    if (*first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

bool PropertyBag::ToBool(const Value& v, bool def)
{
    if (auto* b = std::get_if<bool>(&v)) return *b;
    if (auto* i = std::get_if<long long>(&v)) return *i != 0;
    if (auto* d = std::get_if<double>(&v)) return *d != 0;
    const std::string& s = std::get<std::string>(v);
    std::string lower(s);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (lower == "true") return true;
    if (lower == "false") return false;
    if (auto n = ParseNumber(s)) return *n != 0;
    return def;
}

long long PropertyBag::ToInteger(const Value& v, long long def)
{
    if (auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;  // VB's True is -1
    if (auto* i = std::get_if<long long>(&v)) return *i;
    if (auto* d = std::get_if<double>(&v)) return std::llrint(*d);
    if (auto n = ParseNumber(std::get<std::string>(v))) return std::llrint(*n);
    return def;
}

double PropertyBag::ToDouble(const Value& v, double def)
{
    if (auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
    if (auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v)) return *d;
    if (auto n = ParseNumber(std::get<std::string>(v))) return *n;
    return def;
}

std::string PropertyBag::ToText(const Value& v)
{
    if (auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
    if (auto* i = std::get_if<long long>(&v)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) {
        char buf[64];
        auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, *d);
        return ec == std::errc() ? std::string(buf, ptr) : std::string();
    }
    return std::get<std::string>(v);
}

}  // namespace forms

namespace forms::detail {

struct UserControlData : ControlData {
    UserControl* uc = nullptr;
    int borderStyle = 0;
    bool changed = false;
    double reportedW = -1, reportedH = -1;
    std::string bagKey;

    void SizeChanged() override
    {
        if (!uc->Loaded() || (st.width == reportedW && st.height == reportedH)) return;
        reportedW = st.width;
        reportedH = st.height;
        if (CanRaise()) uc->Resize.Raise();
    }
};

UserControlData* UserControlDataOf(UserControl& u) { return static_cast<UserControlData*>(&u.Impl()); }

class UserControlWidget : public SurfaceWidget {
public:
    UserControlWidget(QWidget* parent, CanvasData* cv, UserControlData* d) : SurfaceWidget(parent, cv), d_(d) {}

protected:
    void paintEvent(QPaintEvent* e) override
    {
        SurfaceWidget::paintEvent(e);
        if (d_->borderStyle == 0) return;
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    UserControlData* d_;
};

namespace {

// What user controls wrote for the run, by host and control name.
std::map<std::string, PropertyBag>& RunBags()
{
    static auto* bags = new std::map<std::string, PropertyBag>;
    return *bags;
}
const platform::ProcessStateReset kResetRunBags([] { RunBags().clear(); });

std::string KeyOf(const std::string& prefix, const Control& c)
{
    std::string key = prefix + "." + c.Name();
    if (c.Index() >= 0) key += "(" + std::to_string(c.Index()) + ")";
    return key;
}

}  // namespace

void SiteHost(ControlHost& host, const std::string& prefix)
{
    std::vector<Control*> controls;
    for (Control& c : host.Controls()) controls.push_back(&c);
    for (Control* c : controls) c->Impl().HostLoaded();
    host.ContainerImpl().loaded = true;
    for (Control* c : controls) {
        auto* uc = dynamic_cast<UserControl*>(c);
        if (!uc || !Alive(&c->Impl())) continue;
        UserControlData* d = UserControlDataOf(*uc);
        d->bagKey = KeyOf(prefix, *c);
        SiteHost(*uc, d->bagKey);
        auto [it, fresh] = RunBags().try_emplace(d->bagKey);
        if (fresh && d->CanRaise()) uc->InitProperties.Raise();
        if (d->CanRaise()) uc->ReadProperties.Raise(it->second);
        d->changed = false;
        d->reportedW = d->st.width;
        d->reportedH = d->st.height;
        if (d->CanRaise()) uc->Resize.Raise();
    }
}

void UnsiteHost(ControlHost& host)
{
    for (Control& c : host.Controls()) {
        auto* uc = dynamic_cast<UserControl*>(&c);
        if (!uc || !uc->Loaded()) continue;
        UnsiteHost(*uc);
        UserControlData* d = UserControlDataOf(*uc);
        if (d->changed && d->CanRaise()) {
            PropertyBag bag;
            uc->WriteProperties.Raise(bag);
            RunBags()[d->bagKey] = std::move(bag);
            d->changed = false;
        }
        uc->ContainerImpl().loaded = false;
    }
}

}  // namespace forms::detail

namespace forms {

using namespace detail;

UserControl::UserControl(Init init) : Control(std::move(init), std::make_unique<UserControlData>())
{
    auto& d = static_cast<UserControlData&>(*d_);
    d.uc = this;
    d.st.width = 4800;
    d.st.height = 3600;
    BindSurface(this, this, d, *cd_, *cv_, [this] { Paint.Raise(); });
    auto* w = new UserControlWidget(d.ParentWidget(), cv_.get(), &d);
    cd_->widget = w;
    d.Attach(w);
}

UserControl::~UserControl()
{
    cd_->dying = true;
    DropWidget(*d_);  // its surface paints with what is going now
}

void UserControl::PropertyChanged(const std::string&) { static_cast<UserControlData&>(*d_).changed = true; }

void UserControl::Size(double width, double height) { Move(Left(), Top(), width, height); }

int UserControl::BorderStyle() const { return static_cast<UserControlData&>(*d_).borderStyle; }

void UserControl::SetBorderStyle(int style)
{
    static_cast<UserControlData&>(*d_).borderStyle = style;
    if (d_->widget) d_->widget->update();
}

forms::Picture UserControl::Picture() const { return cv_->picture; }

void UserControl::SetPicture(const forms::Picture& picture)
{
    cv_->picture = picture;
    cv_->Changed();
}

std::string UserControl::BagKey() const { return static_cast<UserControlData&>(*d_).bagKey; }

}  // namespace forms
