#pragma once

class CBusTask;

// Mode 2: probes addresses 1 to 255 with the current line settings; the first that answers
// becomes the settings' address.
void ScanAddresses(CBusTask& task);
// Mode 1 (serial only): probes addresses 1 to 255 on each of the twelve line settings
// (no parity, then even, then odd; 19200 down to 2400 baud); the first answer sets the
// address, baud index and parity index.
void ScanAddressesAndLine(CBusTask& task);
