#include "track/exception.h"

#include "track/zavro_exception.h"

Exception::~Exception() = default;
ZAVROException::~ZAVROException() = default;
