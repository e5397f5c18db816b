#pragma once

#include <cstdint>

class CDataExchange;
class QWidget;

// Edit fields that show a scaled register (raw x 10^-d, d taken modulo 4).

// Saving: the text must parse (else the standard number message, focus back on the field,
// the pass ends); raw = the value x 10^d rounded half away from zero, kept within +-32767.
// Both directions: the field then shows raw in canonical form, rewritten only if different;
// when saving, only once the whole pass has been accepted.
void ExchangeScaled(CDataExchange& dx, int id, int16_t& raw, int d);
void ExchangeScaled(CDataExchange& dx, int id, int& raw, int d);

// Rewrites the field's text in canonical form if it parses (no limits applied); leaves other
// text alone. Nothing happens when `window` has no such control.
void ReformatScaled(QWidget* window, int id, int d);
