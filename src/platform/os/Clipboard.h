#pragma once
// The system clipboard's text, as VB's Clipboard object offers it.

#include <string>

namespace os {

struct Clipboard {
    static void Clear();
    // False when no application runs to own the clipboard.
    static bool SetText(const std::string& text);
    // "" when the clipboard holds no text.
    static std::string GetText();
};

}  // namespace os
