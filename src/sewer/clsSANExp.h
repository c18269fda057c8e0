#pragma once
// The generic sewer network handed on: the capture of the "E-PVGEN" manholes
// and "E-TRCGEN" reaches into the PV and TR tables (classes of manholes
// marked in the drawing), the numbering of collectors, reaches and manholes
// walked downstream from each collector start, and the DXF file the design
// program reads.
//
// The sewer panel makes a new object at each capture and numbers and exports
// with it: the DXF handle counter starts with the object and runs on from one
// of its exports to the next, so each capture's first export begins at 3E9.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/acad/BlockReference.h"
#include "platform/forms/Forms.h"
#include "shell/ProgressBar.h"

class clsSANExp {
public:
    ProgressBar* cProgress = nullptr;      // progress of the long loops
    forms::TextBox* cTxtPrefix = nullptr;  // the panel's PV prefix, read by Capture2
    double gAcadZoomCenter = 400;          // view height when centring on a point
    // The last PV number given by a collector walk; 0 after every capture.
    std::int32_t CaptureNumPVs = 0;

    // Numbers the whole network: the collectors written on the "E-PVGEN"
    // blocks ("COLETOR" read from its leading number; 0 or less ignored) are
    // walked in ascending order, each number once (its first block read);
    // with AutoNumCol they are named ColetorIni, ColetorIni + 1, ... in that
    // order. Then every reach block gets its two PV names. The number read on
    // the last collector walked, as three digits ("" when none was walked).
    std::string CaptureAuto(int ColetorIni, bool AutoNumCol, bool AutoNumPV, int PVIni, const std::string& PrefixPV);

    // Walks one collector downstream from ObjPV, numbering each reach not yet
    // numbered "Coletor-001", "Coletor-002", ..., tracing the walk on the
    // verification layer and (with AutoNumPV) renumbering the PVs left behind.
    void Capture1(const std::string& Coletor, acad::BlockReference* ObjPV, bool AutoNumPV, const std::string& PrefixPV);

    // Asks for a collector start of the last capture not walked yet and walks
    // it as Coletor. False when the user gave up (Escape, Enter) or no start is
    // left: nothing was walked.
    bool Capture2(const std::string& Coletor, bool AutoNumPV);

    // Captures the generic network of the drawing into gPVs and gTRs. The
    // number of collector starts; 0 when the capture stopped (no reach, a
    // reach end without a manhole), leaving the three arguments as they were.
    // ColetNumerados: every start carries its own collector number and no
    // other manhole carries one. MenorColetor: the smallest of those numbers
    // (0 when none). ListPLs: the starts' object ids, from index 0, in table order.
    int CaptureRedeGen(bool& ColetNumerados, int& MenorColetor, std::vector<std::int32_t>& ListPLs);

    // Asks for the file and writes the PV and TR tables as DXF. A PV whose
    // ground elevation is not a number stops it before the question.
    void SaveDXF();

private:
    void MarkPVError(const std::vector<double>& Ponto, double Escala, const std::string& Texto, int Cor);
    std::string DxfPVText(int Index);
    std::string DxfTRLine(int Index);
    std::string ProximoHandle();
    void ProgressStart(long long Max, const std::string& Caption);
    void Progress();
    acad::BlockReference* PVNoFim(const std::vector<double>& P);
    // CaptureRedeGen after its preparation; `interrompe` undoes that on an early stop.
    int Captura(bool& ColetNumerados, int& MenorColetor, std::vector<std::int32_t>& ListPLs,
                const std::function<int()>& interrompe);

    int numPLs_ = 0;
    std::int32_t handle_ = 0;
    // Collector number -> the first block read that carries it.
    std::map<long long, std::int32_t> coletores_;
};
