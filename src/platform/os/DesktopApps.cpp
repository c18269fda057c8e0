#include "platform/os/DesktopApps.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace os {

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string Home()
{
    const std::string h = Env("HOME");
    return h.empty() ? "/" : h;
}

// An XDG folder variable, or its default when unset or not absolute.
std::string XdgHome(const char* var, const char* fallback)
{
    const std::string v = Env(var);
    return (!v.empty() && v[0] == '/') ? v : Home() + "/" + fallback;
}

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> out;
    std::string item;
    std::istringstream in(s);
    while (std::getline(in, item, sep))
        if (!item.empty()) out.push_back(item);
    return out;
}

std::vector<std::string> XdgDirs(const char* var, const char* fallback)
{
    std::vector<std::string> out;
    for (const auto& d : Split(Env(var).empty() ? fallback : Env(var), ':'))
        if (d[0] == '/') out.push_back(d);
    return out;
}

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Escapes of string values: \s \n \t \r \\.
std::string Unescape(const std::string& v)
{
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        switch (v[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += '\\', out += v[i];
        }
    }
    return out;
}

// Keys of the user's language, most specific first: Name[pt_BR], Name[pt].
std::vector<std::string> LocalizedKeys(const std::string& key)
{
    std::string loc = Env("LC_ALL");
    if (loc.empty()) loc = Env("LC_MESSAGES");
    if (loc.empty()) loc = Env("LANG");
    loc = loc.substr(0, loc.find_first_of(".@"));
    std::vector<std::string> keys;
    if (loc.empty() || loc == "C" || loc == "POSIX") return keys;
    keys.push_back(key + "[" + loc + "]");
    if (const auto u = loc.find('_'); u != std::string::npos) keys.push_back(key + "[" + loc.substr(0, u) + "]");
    return keys;
}

bool Installed(const std::string& program)
{
    if (program.empty()) return false;
    if (program.find('/') != std::string::npos) return ::access(program.c_str(), X_OK) == 0;
    for (const auto& dir : Split(Env("PATH"), ':'))
        if (::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

}  // namespace

bool DesktopApp::TakesFiles() const
{
    for (const char* code : {"%f", "%F", "%u", "%U"})
        if (exec.find(code) != std::string::npos) return true;
    return false;
}

bool AppRegistry::ParseDesktopFile(const std::string& text, const std::string& id, const std::string& file,
                                   DesktopApp& app)
{
    std::map<std::string, std::string> keys;
    std::string group;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line;
            continue;
        }
        if (group != "[Desktop Entry]") continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        keys.emplace(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    const auto get = [&](const std::string& k) {
        const auto it = keys.find(k);
        return it == keys.end() ? std::string() : it->second;
    };
    if (get("Type") != "Application" || get("Hidden") == "true" || get("Exec").empty()) return false;
    app = {};
    app.id = id;
    app.file = file;
    app.exec = Unescape(get("Exec"));
    app.icon = Unescape(get("Icon"));
    app.tryExec = Unescape(get("TryExec"));
    app.noDisplay = get("NoDisplay") == "true";
    app.name = Unescape(get("Name"));
    for (const auto& k : LocalizedKeys("Name"))
        if (!get(k).empty()) {
            app.name = Unescape(get(k));
            break;
        }
    if (app.name.empty()) app.name = id;
    app.mimeTypes = Split(get("MimeType"), ';');
    return true;
}

AppRegistry::MimeApps AppRegistry::ParseMimeApps(const std::string& text)
{
    MimeApps m;
    std::map<std::string, std::vector<std::string>>* group = nullptr;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line == "[Default Applications]"   ? &m.defaults
                    : line == "[Added Associations]"   ? &m.added
                    : line == "[Removed Associations]" ? &m.removed
                                                       : nullptr;
            continue;
        }
        const auto eq = line.find('=');
        if (!group || eq == std::string::npos) continue;
        auto& ids = (*group)[Trim(line.substr(0, eq))];
        for (const auto& id : Split(Trim(line.substr(eq + 1)), ';')) ids.push_back(Trim(id));
    }
    return m;
}

AppRegistry AppRegistry::Load()
{
    AppRegistry r;
    std::vector<std::string> dataDirs{XdgHome("XDG_DATA_HOME", ".local/share")};
    for (const auto& d : XdgDirs("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) dataDirs.push_back(d);
    std::vector<std::string> configDirs{XdgHome("XDG_CONFIG_HOME", ".config")};
    for (const auto& d : XdgDirs("XDG_CONFIG_DIRS", "/etc/xdg")) configDirs.push_back(d);

    // Desktop files: the first folder that has an id decides it (a hidden or
    // broken entry there hides the same id further down).
    std::set<std::string> seen;
    for (const auto& dir : dataDirs) {
        const fs::path apps = fs::path(dir) / "applications";
        std::error_code ec;
        if (!fs::is_directory(apps, ec)) continue;
        std::vector<DesktopApp> found;
        for (auto it = fs::recursive_directory_iterator(apps, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path& p = it->path();
            if (p.extension() != ".desktop" || it->is_directory(ec)) continue;
            std::string id = p.lexically_relative(apps).string();
            std::replace(id.begin(), id.end(), '/', '-');
            if (!seen.insert(id).second) continue;
            DesktopApp app;
            if (ParseDesktopFile(ReadFile(p), id, p.string(), app) && (app.tryExec.empty() || Installed(app.tryExec)))
                found.push_back(std::move(app));
        }
        std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
        for (auto& a : found) r.apps_.push_back(std::move(a));
    }

    std::vector<std::string> desktops;
    for (auto d : Split(Env("XDG_CURRENT_DESKTOP"), ':')) {
        std::transform(d.begin(), d.end(), d.begin(), [](unsigned char c) { return std::tolower(c); });
        desktops.push_back(d);
    }
    const auto addList = [&](const fs::path& file) {
        std::error_code ec;
        if (fs::is_regular_file(file, ec)) r.lists_.push_back(ParseMimeApps(ReadFile(file)));
    };
    const auto addLists = [&](const fs::path& dir) {
        for (const auto& d : desktops) addList(dir / (d + "-mimeapps.list"));
        addList(dir / "mimeapps.list");
    };
    for (const auto& d : configDirs) addLists(d);
    for (const auto& d : dataDirs) addLists(fs::path(d) / "applications");
    return r;
}

const DesktopApp* AppRegistry::Find(const std::string& id) const
{
    for (const auto& a : apps_)
        if (a.id == id) return &a;
    return nullptr;
}

std::vector<const DesktopApp*> AppRegistry::AppsFor(const std::string& mimeType) const
{
    std::set<std::string> removed;
    std::vector<const DesktopApp*> out;
    const auto add = [&](const DesktopApp* a) {
        if (a && !removed.count(a->id) && std::find(out.begin(), out.end(), a) == out.end()) out.push_back(a);
    };
    for (const auto& list : lists_) {
        if (const auto it = list.removed.find(mimeType); it != list.removed.end())
            removed.insert(it->second.begin(), it->second.end());
        if (const auto it = list.added.find(mimeType); it != list.added.end())
            for (const auto& id : it->second) add(Find(id));
    }
    for (const auto& a : apps_)
        if (std::find(a.mimeTypes.begin(), a.mimeTypes.end(), mimeType) != a.mimeTypes.end()) add(&a);
    return out;
}

const DesktopApp* AppRegistry::DefaultFor(const std::string& mimeType) const
{
    for (const auto& list : lists_)
        if (const auto it = list.defaults.find(mimeType); it != list.defaults.end())
            for (const auto& id : it->second)
                if (const DesktopApp* a = Find(id)) return a;
    const auto apps = AppsFor(mimeType);
    return apps.empty() ? nullptr : apps.front();
}

bool SplitCommandLine(const std::string& text, std::vector<std::string>& args)
{
    args.clear();
    std::string cur;
    bool inArg = false, quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < text.size() &&
                       std::string("\"`$\\").find(text[i + 1]) != std::string::npos) {
                cur += text[++i];
            } else {
                cur += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (inArg) args.push_back(cur);
            cur.clear();
            inArg = false;
        } else if (c == '"') {
            quoted = inArg = true;
        } else if (c == '\\' && i + 1 < text.size()) {
            cur += text[++i];
            inArg = true;
        } else {
            cur += c;
            inArg = true;
        }
    }
    if (quoted) return false;
    if (inArg) args.push_back(cur);
    return true;
}

std::vector<std::string> CommandForFile(const std::string& commandLine, const std::string& file, const DesktopApp* app)
{
    std::vector<std::string> tokens, out;
    if (!SplitCommandLine(commandLine, tokens) || tokens.empty()) return {};
    bool placed = false;
    for (const auto& t : tokens) {
        if (t == "%i") {  // the icon, as two arguments, when there is one
            if (app && !app->icon.empty()) out.insert(out.end(), {"--icon", app->icon});
            continue;
        }
        std::string arg;
        bool onlyDropped = true;  // a token made only of obsolete codes disappears
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i] != '%' || i + 1 == t.size()) {
                arg += t[i];
                onlyDropped = false;
                continue;
            }
            const char code = t[++i];
            switch (code) {
            case 'f':
            case 'F':
            case 'u':
            case 'U': arg += file, placed = true, onlyDropped = false; break;
            case 'c': arg += app ? app->name : std::string(), onlyDropped = false; break;
            case 'k': arg += app ? app->file : std::string(), onlyDropped = false; break;
            case '%': arg += '%', onlyDropped = false; break;
            case 'd':
            case 'D':
            case 'n':
            case 'N':
            case 'v':
            case 'm':
            case 'i': break;
            default: arg += '%', arg += code, onlyDropped = false;
            }
        }
        if (!(onlyDropped && arg.empty())) out.push_back(arg);
    }
    if (out.empty()) return {};
    if (!placed) out.push_back(file);
    return out;
}

}  // namespace os
