// The run without a window: the sheet from --open (or a new one), the
// --import drawings and the part the dialog makes placed on it, then the
// exports and the save asked for.
#pragma once

struct HostOptions;

int RunHeadless(const HostOptions& options);
