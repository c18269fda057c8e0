#include "water/clsWATDes.h"

#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"

clsWATDes::clsWATDes() = default;
clsWATDes::~clsWATDes() = default;

void clsWATDes::InsertConex(const std::string&, const std::string&, const std::string&, const std::string&,
                            const std::string&, const std::string&, const std::string&, const std::string&) {}

void clsWATDes::DrawTubo(const std::string&, const std::string&, const std::string&) {}

void clsWATDes::Find(const std::string&, bool, bool&, short, ProgressBar&) {}
