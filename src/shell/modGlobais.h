#pragma once
// Start-up settings: written by the main window when the program starts
// (Form1_Form_Load) and read by every other part of the system.

#include <string>

#include "platform/forms/Form.h"
#include "platform/forms/Picture.h"

// The program folder; kept for the run, read by no other part.
extern std::string gAppPath;
// Identifier under which the running drawing host is found: "AutoCAD.Application".
extern std::string gAcadProgID;
// Layer of the verification markers: "0-Conferencia".
extern std::string gLayerConf;
// Full path of the catalogue database: database folder + "/rereva2000r.mdb".
extern std::string gMdbPath;
// Folder of the block drawing files (the database folder).
extern std::string gBlocosPath;
// Folder of the material button pictures (the database folder).
extern std::string gImagensPath;
// Brand picture of the main window and brand banner of every dialog.
extern forms::Picture gLogo;
extern forms::Picture gBanner;
// The main window: owner of the modal dialogs (null until start-up has set it).
extern forms::Form* gMainForm;

// The folder the program runs from. It is the executable's folder unless a
// runner that starts the program from elsewhere (a test) named another one.
std::string PastaPrograma();
void DefinePastaPrograma(const std::string& Pasta);
