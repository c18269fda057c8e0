#pragma once
// What the water catalogue tests share: the program folder with the shipped
// catalogue, and small catalogues written in a temporary folder.

#include <filesystem>
#include <string>
#include <vector>

namespace watertest {

// The program folder of the build under test: the catalogue and the pictures.
std::filesystem::path PastaDoPrograma();

// Runs SQL on a database file; fails the test on error.
void ExecutaSql(const std::filesystem::path& Banco, const std::string& Sql);

// A catalogue in `Pasta`: the seven water tables without constraints (so a
// test may leave any value Null), filled by `Linhas`, and the three pictures
// of each material named in `Materiais`. Returns the database's path.
std::filesystem::path EscreveCatalogo(const std::filesystem::path& Pasta, const std::string& Linhas,
                                      const std::vector<std::string>& Materiais);

}  // namespace watertest
