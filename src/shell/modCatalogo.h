#pragma once
// The reading of the catalogue database (gMdbPath) that the panels' catalogue
// loaders share: the connection opened, the tables read, the connection let
// go and the mouse pointer back to normal, whatever the reading met.

#include <functional>
#include <stdexcept>
#include <string>

namespace ado {
class Connection;
}

// A fault of the catalogue's content (a table, column or value missing or of
// the wrong kind): its text, in Portuguese, names the table and what is wrong.
class ErroCatalogo : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Opens gMdbPath (one connection, client-side cursors), hands it to Le, and
// closes it quietly however Le ended; the mouse pointer is then the default
// one. "" when everything was read; else why not, in Portuguese: the text of
// a database or catalogue fault as it is, a plain sentence for anything else
// (the standard library's own texts are English).
std::string LeCatalogo(const std::function<void(const ado::Connection&)>& Le);
