#pragma once
// What a scope puts back or clears when it is left, however it is left (a
// return, an exception, the end of the block): the action given is run once,
// from the destructor.
//
//   AoSair barra([&] { Barra.Progress_Start(0, ""); });
//
// Several in one scope run in the reverse order of their declaration. An
// exception thrown by the action is swallowed: it would otherwise end the
// program while another one is already on its way up, and the reason the
// scope is being left matters more than a failed clean-up.

#include <utility>

template <class Acao>
class [[nodiscard]] AoSair {
public:
    explicit AoSair(Acao Executa) : acao_(std::move(Executa)) {}
    ~AoSair()
    {
        try {
            acao_();
        } catch (...) {
        }
    }
    AoSair(const AoSair&) = delete;
    AoSair& operator=(const AoSair&) = delete;

private:
    Acao acao_;
};
