#include "platform/acad/RunningObjects.h"

#include <map>
#include <mutex>

#include "platform/acad/Application.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"

namespace acad {

namespace {
std::mutex g_rotMutex;
std::map<std::string, Application*>& Table()
{
    static std::map<std::string, Application*> table;
    return table;
}
}  // namespace

Application* GetObject(const std::string& progID)
{
    std::lock_guard lock(g_rotMutex);
    auto it = Table().find(UpperName(progID));
    if (it == Table().end() || !it->second)
        throw Error(ErrorCode::NotRunning, "Nenhum programa registrado como \"" + progID + "\" está em execução");
    return it->second;
}

Application* GetObject(const std::string& pathName, const std::string& progID)
{
    if (!pathName.empty())
        throw Error(ErrorCode::InvalidInput, "Abrir um arquivo por GetObject não é suportado: \"" + pathName + "\"");
    return GetObject(progID);
}

void RegisterActiveObject(Application& app, const std::string& progID)
{
    std::lock_guard lock(g_rotMutex);
    Table()[UpperName(progID)] = &app;
}

void RevokeActiveObject(const std::string& progID)
{
    std::lock_guard lock(g_rotMutex);
    Table().erase(UpperName(progID));
}

ActiveObjectRegistration::ActiveObjectRegistration(Application& app, std::string progID) : progID_(std::move(progID))
{
    RegisterActiveObject(app, progID_);
}

ActiveObjectRegistration::~ActiveObjectRegistration() { RevokeActiveObject(progID_); }

}  // namespace acad
