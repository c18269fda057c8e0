#pragma once
// The one exception of the data-access layer: a number (the automation
// library's own where callers may test it) and a description that names what
// failed (file, table, field, value), ready for a message box.

#include <stdexcept>
#include <string>

namespace ado {

enum ErrorNumber : long {
    errTypeMismatch = 13,
    errInvalidUseOfNull = 94,
    errOverflow = 6,
    adErrInvalidArgument = 3001,
    adErrObjectNotFound = 3011,   // a sheet or table that is not there
    adErrNoCurrentRecord = 3021,  // BOF or EOF, or the record was deleted
    adErrIllegalOperation = 3219,
    adErrFeatureNotAvailable = 3251,  // writing through a read-only recordset
    adErrItemNotFound = 3265,         // no field of that name or number
    adErrObjectClosed = 3704,
    adErrObjectOpen = 3705,
    adErrInvalidConnection = 3709,
    adErrProvider = -2147467259,    // the file cannot be opened or read
    adErrConversion = -2147217887,  // a value the field cannot hold
    adErrNoSuchTable = -2147217865,
    adErrNoSuchColumn = -2147217904,
    adErrSyntax = -2147217900,
};

class Error : public std::runtime_error {
public:
    Error(long number, const std::string& description) : std::runtime_error(description), number_(number) {}
    long Number() const { return number_; }
    std::string Description() const { return what(); }

private:
    long number_;
};

}  // namespace ado
