#include "platform/acad/InputSource.h"

#include "platform/acad/Error.h"

namespace acad {

InputAnswer InputAnswer::PickPoint(const Point3d& p)
{
    InputAnswer a;
    a.kind = Kind::Point;
    a.point = p;
    return a;
}

InputAnswer InputAnswer::Typed(std::string text)
{
    InputAnswer a;
    a.kind = Kind::Text;
    a.text = std::move(text);
    return a;
}

InputAnswer InputAnswer::AngleOf(double radians)
{
    InputAnswer a;
    a.kind = Kind::Angle;
    a.angle = radians;
    return a;
}

InputAnswer InputAnswer::WindowOf(const Point3d& corner1, const Point3d& corner2)
{
    InputAnswer a;
    a.kind = Kind::Window;
    a.point = corner1;
    a.corner = corner2;
    return a;
}

InputAnswer InputAnswer::CrossingOf(const Point3d& corner1, const Point3d& corner2)
{
    InputAnswer a = WindowOf(corner1, corner2);
    a.kind = Kind::Crossing;
    return a;
}

InputAnswer InputAnswer::Escape()
{
    InputAnswer a;
    a.kind = Kind::Escape;
    return a;
}

InputAnswer InputAnswer::Enter() { return InputAnswer(); }

InputAnswer InputAnswer::RightClick(const Point3d& p)
{
    InputAnswer a;
    a.kind = Kind::RightClick;
    a.point = p;
    return a;
}

ScriptedInput& ScriptedInput::Then(InputAnswer answer)
{
    answers_.push_back(std::move(answer));
    return *this;
}

InputAnswer ScriptedInput::Ask(const InputRequest& request)
{
    requests_.push_back(request);
    if (answers_.empty())
        throw Error(ErrorCode::NoInputSource, "O roteiro de entrada não tem resposta para \"" + request.prompt + "\"");
    InputAnswer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

std::vector<std::string> ScriptedInput::Prompts() const
{
    std::vector<std::string> out;
    out.reserve(requests_.size());
    for (const auto& r : requests_) out.push_back(r.prompt);
    return out;
}

}  // namespace acad
