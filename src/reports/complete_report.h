#pragma once
// The complete report (kind 5): the session reports joined, each after
// "\r\n\r\n". Held whole: no text control limit cuts it.

#include <string>

struct ReportInput;

std::string WriteCompleteReport(const ReportInput& in);
