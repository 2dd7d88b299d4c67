// The run without a window: the sheet from --open (or a new one), the
// --import drawings and the part the dialog makes placed on it, then the
// exports and the save asked for.
#pragma once

class DialogDriver;
struct HostOptions;

int RunHeadless(const HostOptions& options);
// How a dialog run ends the program when a --set was refused, the dialog never
// got ready or the engine built nothing, its reason on stderr; ExitOk otherwise.
int DialogFailure(const DialogDriver& driver);
