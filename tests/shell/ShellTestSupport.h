#pragma once
// Shared by the shell's tests: the program's pictures, one-colour pictures,
// and a test driver that answers modal forms by name. Temporary folders,
// files and environment come from the window and file services' tests.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "platform/os/Support.h"

namespace shelltest {

using ostest::ReadBytes;
using ostest::ScopedEnv;
using ostest::TempDir;
using ostest::WriteBytes;

// The pictures the build drew, where the forms look for them.
void UseProgramPictures();

// Answers modal forms by their name, in the order they come; a form with no
// answer left is recorded and left to close by itself (hidden by the driver).
class ModalAnswers {
public:
    ModalAnswers();
    ModalAnswers& On(const std::string& formName, std::function<void(forms::Form&)> answer);
    // The names of the forms shown modally so far.
    const std::vector<std::string>& Shown() const { return shown_; }
    int Count(const std::string& formName) const;

private:
    std::map<std::string, std::vector<std::function<void(forms::Form&)>>> answers_;
    std::vector<std::string> shown_;
    forms::ScopedTestDriver driver_;
};

// A picture of w x h pixels in one colour (drawn on a picture box).
forms::Picture SolidPicture(int w, int h, long color);

}  // namespace shelltest
