#pragma once
// The programs installed for the desktop (freedesktop.org desktop entries)
// and the file types they open (mimeapps.list associations), read from the
// XDG folders of the environment each time a registry is loaded.

#include <map>
#include <string>
#include <vector>

namespace os {

struct DesktopApp {
    std::string id;    // desktop file id, e.g. "org.example.Viewer.desktop"
    std::string file;  // full path of the desktop file
    std::string name;  // in the user's language when the file has it
    std::string exec;
    std::string icon;
    std::string tryExec;  // a program that must be installed for the entry to count
    std::vector<std::string> mimeTypes;
    bool noDisplay = false;
    bool TakesFiles() const;  // its command line has a place for a file
};

class AppRegistry {
public:
    static AppRegistry Load();

    const std::vector<DesktopApp>& All() const { return apps_; }
    const DesktopApp* Find(const std::string& id) const;
    // The programs that open `mimeType`, the preferred first: the user's and
    // the system's added associations, then those whose desktop file names
    // the type; removed associations are left out.
    std::vector<const DesktopApp*> AppsFor(const std::string& mimeType) const;
    // The default program for `mimeType`: the first installed one of the
    // default applications, else the preferred associated one; null if none.
    const DesktopApp* DefaultFor(const std::string& mimeType) const;

    // Parsing, exposed for the tests; both return false on a malformed text.
    static bool ParseDesktopFile(const std::string& text, const std::string& id, const std::string& file,
                                 DesktopApp& app);
    struct MimeApps {
        std::map<std::string, std::vector<std::string>> defaults, added, removed;
    };
    static MimeApps ParseMimeApps(const std::string& text);

private:
    std::vector<DesktopApp> apps_;  // in precedence order of their folders, then by id
    std::vector<MimeApps> lists_;   // mimeapps.list files, most important first
};

// Splits a command line as desktop entries quote it: arguments separated by
// blanks, double quotes around an argument with blanks, a backslash before
// '"', '`', '$' or '\' inside quotes. False on an unterminated quote.
bool SplitCommandLine(const std::string& text, std::vector<std::string>& args);

// The program and arguments that open `file` with a command line of a desktop
// entry or typed by the user: the file takes the place of %f, %F, %u or %U,
// or is added at the end when there is none. Empty when the command is malformed.
std::vector<std::string> CommandForFile(const std::string& commandLine, const std::string& file,
                                        const DesktopApp* app = nullptr);

}  // namespace os
