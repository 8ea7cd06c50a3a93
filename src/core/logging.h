#pragma once
namespace logging {
// File, line and function in every debug line.
void install();
}
