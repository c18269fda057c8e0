#pragma once
// What a command of the command line (CommandLine.h) asks with: one prompt, one
// answer. Answers come from the text sent to the command line while it lasts,
// then, once the drawing window lets the waiting command continue, from the
// input source. A command that runs out of text is left waiting: its function
// is run again later from the start, and every answer it had is given back in
// the same order (so a command gathers its answers before it changes the
// drawing, or changes it in ways that may be repeated).
//
// Engine-internal; the system's code uses Document::SendCommand.

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/acad/Geometry.h"

namespace acad {

class Document;
class Entity;

// What the command line remembers between commands.
struct CommandMemory {
    double lastRotation = 0.0;  // ROTATE's default angle, radians
};

class CommandContext {
public:
    // Thrown when the text ran out and the input source may not be asked yet.
    struct NeedInput {};
    using Answer = std::variant<std::string, std::optional<Point3d>, std::optional<double>,
                                std::optional<std::vector<Entity*>>, Entity*>;

    CommandContext(Document& doc, const std::string& command, std::deque<std::string>& text,
                   std::vector<Answer>& answers, bool interactive, CommandMemory& memory);

    Document& Doc() const { return doc_; }
    CommandMemory& Memory() const { return memory_; }
    // True while answers given before are being given back.
    bool Replaying() const { return next_ < answers_.size(); }

    // A text; Enter gives "". Blanks around it are dropped unless `allowSpaces`.
    std::string Text(const std::string& prompt, bool allowSpaces = false);
    // A point ("x,y[,z]" typed, or picked with the object snaps); nullopt on Enter.
    std::optional<Point3d> Point(const std::string& prompt, const std::optional<Point3d>& base = std::nullopt);
    // An angle in radians: typed in degrees, or shown by a point from `base`; nullopt on Enter.
    std::optional<double> Angle(const std::string& prompt, const Point3d& base);
    // One step of "Selecione objetos: "; nullopt when the selection ends.
    // `selected`: what the earlier steps took (shown highlighted by the window).
    std::optional<std::vector<Entity*>> Objects(const std::string& prompt,
                                                const std::vector<Entity*>* selected = nullptr);
    // Every object of a selection prompt repeated until it ends, without repeats.
    std::vector<Entity*> Selection(const std::string& prompt);
    // One entity: (handent "..."), coordinates or a pick; nullptr on Enter.
    Entity* PickEntity(const std::string& prompt);

    // A line for the command line (not repeated while replaying).
    void Message(const std::string& text) const;
    // Ends the command with an error naming it.
    [[noreturn]] void Fail(const std::string& why) const;

private:
    template <typename T>
    bool Replay(T& out)
    {
        if (next_ >= answers_.size()) return false;
        out = std::get<T>(answers_[next_++]);
        return true;
    }
    template <typename T>
    T Record(T value)
    {
        answers_.emplace_back(std::in_place_type<T>, value);
        ++next_;
        return value;
    }
    // The next item of the text, or nullopt when the person must be asked.
    std::optional<std::string> NextText();
    [[noreturn]] void Cancel() const;

    Document& doc_;
    std::string command_;
    std::deque<std::string>& text_;
    std::vector<Answer>& answers_;
    std::size_t next_ = 0;
    bool interactive_;
    CommandMemory& memory_;
};

// Matches a typed option against a keyword: any beginning of the keyword at
// least `shortest` characters long, without regard to case; a leading "_"
// (the host's language-neutral form) is allowed.
bool IsKeyword(const std::string& typed, const std::string& keyword, std::size_t shortest = 1);

}  // namespace acad
