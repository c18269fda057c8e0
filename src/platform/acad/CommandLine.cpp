#include "platform/acad/CommandLine.h"

#include "platform/acad/Commands.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/Lisp.h"

namespace acad {

struct CommandLine::Pending {
    const commands::Definition* command = nullptr;
    std::vector<CommandContext::Answer> answers;
};

namespace {

// Splits command-line text into items: CR, LF or CR LF end an item; a Lisp
// expression runs to its closing parenthesis whatever lines it spans. Text after
// the last line break counts as an item when it is not blank.
void Split(const std::string& text, std::deque<std::string>& out)
{
    std::string item;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out.push_back(std::move(item));
            item.clear();
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        if ((c == '(' || c == '\'') && item.find_first_not_of(" \t") == std::string::npos &&
            lisp::IsExpression(text.substr(i, 2))) {
            std::size_t end = lisp::ExpressionEnd(text, i);
            if (end == std::string::npos) end = text.size();
            item += text.substr(i, end - i);
            i = end;
            continue;
        }
        item.push_back(c);
        ++i;
    }
    if (item.find_first_not_of(" \t") != std::string::npos) out.push_back(std::move(item));
}

}  // namespace

CommandLine::CommandLine(Document& doc) : doc_(doc) {}
CommandLine::~CommandLine() = default;

std::string CommandLine::ActiveCommandName() const { return pending_ ? pending_->command->name : ""; }

void CommandLine::Run(const std::string& text)
{
    Split(text, text_);
    Pump(false);
}

void CommandLine::Continue()
{
    if (pending_) Pump(true);
}

void CommandLine::Cancel()
{
    text_.clear();
    if (pending_) Finish();
}

void CommandLine::Finish()
{
    const std::string name = pending_->command->name;
    pending_.reset();
    doc_.SetCommandActive(false);
    doc_.EndCommand.Raise(name);
}

void CommandLine::Pump(bool interactive)
{
    // Text sent from inside a command's event handlers joins the queue that the
    // outer call is working through.
    if (pumping_) return;
    bool waiting = false;
    {
        pumping_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{pumping_};
        waiting = Drain(interactive);
    }
    // Raised once the line is idle, so that a handler may Continue at once.
    if (waiting && pending_) WaitingForInput.Raise(pending_->command->name);
}

bool CommandLine::Drain(bool interactive)
{
    for (;;) {
        if (pending_) {
            CommandContext ctx(doc_, pending_->command->name, text_, pending_->answers, interactive, memory_);
            try {
                pending_->command->run(ctx);
            } catch (const CommandContext::NeedInput&) {
                return true;
            } catch (const Error& e) {
                text_.clear();
                Finish();
                if (e.Code() == ErrorCode::Cancelled) {
                    input::Message(doc_, "*Cancelado*");
                    return false;
                }
                throw;
            } catch (...) {
                text_.clear();
                Finish();
                throw;
            }
            Finish();
            continue;
        }
        if (text_.empty()) return false;
        const std::string item = input::Trim(text_.front());
        text_.pop_front();
        if (item.empty()) continue;  // Enter at the command prompt
        if (lisp::IsExpression(item)) {
            try {
                lisp::Evaluate(doc_, item);
            } catch (...) {
                text_.clear();
                throw;
            }
            continue;
        }
        const commands::Definition* command = commands::Find(item);
        if (!command) {
            text_.clear();
            throw Error(ErrorCode::UnknownCommand, "Comando desconhecido: \"" + item + "\"");
        }
        pending_ = std::make_unique<Pending>();
        pending_->command = command;
        doc_.SetCommandActive(true);
        doc_.BeginCommand.Raise(command->name);
    }
}

}  // namespace acad
