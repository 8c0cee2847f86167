#pragma once
// The radio types and their frequency bands as Program.ini lists them
// ([Setup] Type1..Type19 and Field1..Field19), and the two rules that keep the
// chosen type and band in the image, the settings store and the caption: the
// sync after a document is shown, and the OK of the Product Information dialog.
#include <string>
#include <vector>

#include "core/radio/Image.h"

class CIniFile;
class ISettingsStore;

inline constexpr int kMaxRadioTypes = 19;

class CRadioCatalogue {
public:
    explicit CRadioCatalogue(const CIniFile& ini) : m_ini(ini) {}

    // Type1.. in order, ending at the first missing or empty one.
    std::vector<std::string> TypeNames() const;
    // Type<index + 1> as it is, "" when absent.
    std::string TypeName(int index) const;
    // Field<typeIndex + 1>: the type's band items separated by "|", "" when absent.
    std::string BandList(int typeIndex) const;
    // The items of that list as the Frequency list shows them: every part up
    // to each "|", then the rest; at least one, perhaps empty.
    std::vector<std::string> Bands(int typeIndex) const;
    // Item bandIndex of the list, the last one when the list is shorter.
    std::string Band(int typeIndex, int bandIndex) const;

private:
    const CIniFile& m_ini;
};

// Radio type sync after the channels are decoded: a new document takes type and
// band from the store, any other stores its own; then the selected band record
// is written from the catalogue's band. Returns the caption (language section AppName).
std::string SyncRadioType(Image& image, bool newDocument, const CIniFile& ini, ISettingsStore& store,
                          const std::string& languageSection);

// What the Product Information dialog has selected: list positions (-1 for
// none) and the texts shown for them.
struct ProductChoice {
    int type = -1;
    int band = -1;
    std::string typeText;
    std::string bandText;
};
// The dialog's OK: the positions (low bytes) into 0x1FD6/0x1FD7 and the band
// text's "%d-%dMHz" as the selected band record, when there is an image; the
// positions into the store for the next new document.
void ApplyProductChoice(const ProductChoice& choice, Image* image, const CIniFile& ini, ISettingsStore& store);
// The main window caption after OK: appName, "  [ Type:", type, "  Fre:", band, " ]".
std::string ProductCaption(const std::string& appName, const ProductChoice& choice);
