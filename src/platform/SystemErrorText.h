#pragma once
// The reasons the system gives for a failed file operation, told in the
// program's language: the messages the user sees name the file in Portuguese,
// and the reason must not switch to the system's English half way.

#include <cerrno>
#include <string>
#include <system_error>

namespace platform {

inline std::string ErrnoText(int errnum)
{
    switch (errnum) {
    case ENOENT: return "Arquivo ou pasta não encontrado";
    case EACCES:
    case EPERM: return "Permissão negada";
    case ENOSPC: return "Espaço insuficiente no disco";
#ifdef EDQUOT
    case EDQUOT: return "Cota de espaço em disco esgotada";
#endif
    case EROFS: return "O disco só permite leitura";
    case EISDIR: return "É uma pasta, não um arquivo";
    case ENOTDIR: return "Parte do caminho não é uma pasta";
    case EEXIST: return "O arquivo já existe";
    case ENOTEMPTY: return "A pasta não está vazia";
    case EIO: return "Erro de leitura ou gravação no disco";
    case ENAMETOOLONG: return "Nome de arquivo longo demais";
    case ELOOP: return "Atalhos (ligações simbólicas) em círculo";
    case EMFILE:
    case ENFILE: return "Arquivos abertos demais";
    case ENOMEM: return "Memória insuficiente";
    case EBUSY:
    case ETXTBSY: return "O arquivo está em uso";
    case EXDEV: return "Origem e destino ficam em discos diferentes";
    case EFBIG: return "Arquivo grande demais";
    case EINVAL: return "Nome ou operação inválida";
    case ENODEV:
    case ENXIO: return "Dispositivo não disponível";
    case EAGAIN: return "Recurso temporariamente indisponível";
    case 0: return "Erro desconhecido";
    default: return "Erro do sistema número " + std::to_string(errnum);
    }
}

// The same for an error code of the standard library's file functions.
inline std::string ErrnoText(const std::error_code& ec)
{
    if (ec.category() == std::generic_category() || ec.category() == std::system_category())
        return ErrnoText(ec.value());
    return ec.message();
}

}  // namespace platform
