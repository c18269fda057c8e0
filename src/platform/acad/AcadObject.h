#pragma once
// Base of every object of a drawing database (entities, block definitions, table
// records, layouts): identity, erasure and extended data.
//
// Lifetime: objects are created and owned by their Document and live exactly as
// long as it does. Delete() only marks an object erased and takes it out of its
// collection; the C++ object stays valid, so a caller holding a pointer can still
// ask it things (every member then fails with ObjectErased, as the host does).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/acad/Variant.h"

namespace acad {

class Document;
struct XDataStore;

// Extended-data group codes the host knows.
namespace XDataCode {
inline constexpr int AppName = 1001;
inline constexpr int String = 1000;
inline constexpr int ControlString = 1002;  // "{" or "}"
inline constexpr int LayerName = 1003;
inline constexpr int BinaryChunk = 1004;  // held as hexadecimal text
inline constexpr int Handle = 1005;       // held as hexadecimal text
inline constexpr int Point = 1010;
inline constexpr int WorldPosition = 1011;
inline constexpr int WorldDisplacement = 1012;
inline constexpr int WorldDirection = 1013;
inline constexpr int Real = 1040;
inline constexpr int Distance = 1041;
inline constexpr int ScaleFactor = 1042;
inline constexpr int Integer = 1070;  // 16-bit
inline constexpr int Long = 1071;     // 32-bit
}  // namespace XDataCode

class AcadObject {
public:
    AcadObject(const AcadObject&) = delete;
    AcadObject& operator=(const AcadObject&) = delete;
    virtual ~AcadObject();

    // Class name as the automation interface reports it ("AcDbLine", ...).
    virtual std::string ObjectName() const = 0;
    // 32-bit identifier, unique and stable for the whole run.
    std::int32_t ObjectID() const { return id_; }
    // Hexadecimal handle ("2F"), stable in the file.
    std::string Handle() const;
    std::uint64_t HandleValue() const { return handle_; }
    // Engine: the handle an object not yet in its drawing asks for (one read
    // from a file); the drawing gives it another when that one is taken.
    void RequestHandle(std::uint64_t handle)
    {
        if (id_ == 0) handle_ = handle;
    }
    // Hexadecimal text of a handle value, as Handle() gives it.
    static std::string HandleText(std::uint64_t handle);
    std::int32_t OwnerID() const;

    acad::Document& Document() const { return *doc_; }

    bool IsErased() const { return erased_; }
    // Erases the object. Fails with ObjectErased on an erased object and with
    // ObjectInUse where the host refuses (a used layer or application, ...).
    virtual void Delete();

    // Extended data, per registered application. An empty appName reads the data
    // of every application at once, in the order they were attached. Out: parallel
    // arrays of group codes and values, both empty when there is none.
    void GetXData(const std::string& appName, std::vector<int>& xdataType, std::vector<Variant>& xdataValue) const;
    // Replaces the data of each application named (group 1001) in the arrays; an
    // application given with no items loses its data. Unregistered applications are
    // registered on the way, as the host does.
    void SetXData(const std::vector<int>& xdataType, const std::vector<Variant>& xdataValue);
    bool HasXData() const;
    // Indices of the applications this object carries data for (engine use: purge).
    std::vector<std::uint32_t> XDataApplications() const;

    // Fails with ObjectErased when the object is erased (every public member of a
    // derived class calls it first).
    void CheckAlive() const;

protected:
    explicit AcadObject(acad::Document& doc);

    // Called by Delete after the checks; derived classes detach themselves here.
    virtual void OnErase() {}

private:
    friend class Document;
    acad::Document* doc_;
    std::uint64_t handle_ = 0;
    std::int32_t id_ = 0;
    bool erased_ = false;

protected:
    // Spare bits for derived classes (kept here so they pack with the flag above);
    // bit 0x8000 of flags16_ is AcadObject's own ("has extended data").
    std::uint8_t flags8_ = 0;
    std::uint16_t flags16_ = 0;
    // Extended data lives in the document (most objects carry none).
    static constexpr std::uint16_t kHasXData = 0x8000;
};

// Checked downcast for callers that tested ObjectName: nullptr when `o` is null or
// of another class.
template <typename T>
T* As(AcadObject* o)
{
    return dynamic_cast<T*>(o);
}

}  // namespace acad
