#pragma once
// Where user input comes from: the drawing window for a person, a scripted
// queue of answers in tests. Utility (GetPoint, GetEntity, ...), on-screen
// selections and commands waiting on the command line all ask through the
// application's InputSource, one request at a time.
//
// A source answers what the person did: picked a point (a pick on an entity is
// a point too: the host finds the entity there), typed text at the command
// line, gave an angle, dragged a window or a crossing, pressed Escape or Enter,
// or clicked the right button (which the host takes as Enter, after raising the
// document's BeginRightClick).

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/acad/Geometry.h"

namespace acad {

class Document;
class Entity;

enum class InputKind {
    Point,      // a point (GetPoint; command points), rubber band from basePoint when set
    Corner,     // the opposite corner of a rectangle from basePoint (GetCorner)
    Angle,      // an angle, shown from basePoint when set (GetAngle, ROTATE)
    Entity,     // one entity picked at a point (GetEntity; "Selecione o objeto de hachura: ")
    SubEntity,  // one entity, nested ones included (GetSubEntity)
    String,     // a text (GetString; command options and names)
    Selection,  // one step of "Selecione objetos: ": window, crossing, pick, Enter to end
};

struct InputRequest {
    InputKind kind = InputKind::Point;
    std::string prompt;                // exactly as the caller gave it
    std::optional<Point3d> basePoint;  // rubber band origin
    bool allowSpaces = false;          // String: a space ends the text unless set
    Document* document = nullptr;      // the drawing asking
    // Selection (and the corner asked after a pick on empty space): what the
    // earlier steps of the same selection took, so that the window can show it
    // highlighted. Valid during Ask only; null outside selections.
    const std::vector<Entity*>* selected = nullptr;
};

struct InputAnswer {
    enum class Kind { Point, Text, Angle, Window, Crossing, Escape, Enter, RightClick };
    Kind kind = Kind::Enter;
    Point3d point;       // Point, RightClick; first corner of Window / Crossing
    Point3d corner;      // opposite corner of Window / Crossing
    double angle = 0.0;  // Angle, radians
    std::string text;    // Text, as typed

    static InputAnswer PickPoint(const Point3d& p);
    static InputAnswer Typed(std::string text);
    static InputAnswer AngleOf(double radians);
    static InputAnswer WindowOf(const Point3d& corner1, const Point3d& corner2);
    static InputAnswer CrossingOf(const Point3d& corner1, const Point3d& corner2);
    static InputAnswer Escape();
    static InputAnswer Enter();
    static InputAnswer RightClick(const Point3d& p);
};

class InputSource {
public:
    virtual ~InputSource() = default;
    // Blocks until the person answers (the window runs its event loop meanwhile).
    virtual InputAnswer Ask(const InputRequest& request) = 0;
    // A line for the command line (Utility::Prompt, messages of commands).
    virtual void Message(const std::string& text) { (void)text; }
    // Ends every request waiting for the person, each failing with Interrupted:
    // a command started elsewhere (a panel of the program) takes over, as a menu
    // command of the host cancels the one that waits. Unlike Escape, which the
    // program's callers answer by asking again, the waiting command ends.
    virtual void Interrupt() {}
};

// Answers from a queue, in order, whatever is asked; records every request and
// message. When the queue is empty a request fails with NoInputSource naming
// its prompt, so a script that runs short ends the system's retry loops instead
// of spinning in them.
class ScriptedInput : public InputSource {
public:
    ScriptedInput& Then(InputAnswer answer);
    ScriptedInput& Point(const Point3d& p) { return Then(InputAnswer::PickPoint(p)); }
    ScriptedInput& Text(std::string text) { return Then(InputAnswer::Typed(std::move(text))); }
    ScriptedInput& Angle(double radians) { return Then(InputAnswer::AngleOf(radians)); }
    ScriptedInput& Window(const Point3d& a, const Point3d& b) { return Then(InputAnswer::WindowOf(a, b)); }
    ScriptedInput& Crossing(const Point3d& a, const Point3d& b) { return Then(InputAnswer::CrossingOf(a, b)); }
    ScriptedInput& Escape() { return Then(InputAnswer::Escape()); }
    ScriptedInput& Enter() { return Then(InputAnswer::Enter()); }
    ScriptedInput& RightClick(const Point3d& p) { return Then(InputAnswer::RightClick(p)); }

    InputAnswer Ask(const InputRequest& request) override;
    void Message(const std::string& text) override { messages_.push_back(text); }

    std::size_t Remaining() const { return answers_.size(); }
    const std::vector<InputRequest>& Requests() const { return requests_; }
    std::vector<std::string> Prompts() const;
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::deque<InputAnswer> answers_;
    std::vector<InputRequest> requests_;
    std::vector<std::string> messages_;
};

}  // namespace acad
