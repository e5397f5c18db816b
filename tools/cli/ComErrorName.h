#pragma once

// "comNoResponse" for 9 and so on; "comUnknown" for a value the master never throws.
const char* ComErrorName(int code);
