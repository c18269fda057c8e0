#pragma once
// Running-object table: how the system's code attaches to the host that main()
// started, by programmatic identifier, never starting one itself.

#include <string>

namespace acad {

class Application;

inline constexpr const char* kProgID = "AutoCAD.Application";

// The application registered under `progID`; fails with NotRunning and a
// description naming the identifier when none is registered.
Application* GetObject(const std::string& progID);
// VB's GetObject(pathName, progID) shape: the path must be empty here.
Application* GetObject(const std::string& pathName, const std::string& progID);

// main() registers the host it started; tests register and revoke their own.
void RegisterActiveObject(Application& app, const std::string& progID = kProgID);
void RevokeActiveObject(const std::string& progID = kProgID);

// Registers for the lifetime of the object.
class ActiveObjectRegistration {
public:
    explicit ActiveObjectRegistration(Application& app, std::string progID = kProgID);
    ~ActiveObjectRegistration();
    ActiveObjectRegistration(const ActiveObjectRegistration&) = delete;
    ActiveObjectRegistration& operator=(const ActiveObjectRegistration&) = delete;

private:
    std::string progID_;
};

}  // namespace acad
