#pragma once
// A document as plain text, as "progtool show" and "progtool options" print it
// and a support report carries it.
#include <string>

#include "core/radio/Document.h"

class CRadioCatalogue;

// The band edit ranges, the radio type and band (named by the catalogue), and
// the used channels in the grid's columns but Cha Lock, the window's hidden
// one ("Pr" first), aligned for a terminal; then the count of channels used.
std::string ChannelTableText(const ChannelDocument& doc, const CRadioCatalogue& catalogue, bool chinese);

struct OptionControl;
struct OptionFields;

// The value of one optional feature as the dialog shows it.
std::string OptionShownText(const OptionFields& fields, const OptionControl& control, bool chinese);

// One "Label: value" line per optional feature, in the dialog's order.
std::string OptionsText(const Image& image, bool chinese);

// The "Off"/"On" words the dialog shows for a check box, in its language.
std::string OptionCheckText(bool on, bool chinese);
