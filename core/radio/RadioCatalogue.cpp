#include "core/radio/RadioCatalogue.h"

#include "core/app/IniFile.h"
#include "core/app/SettingsStore.h"
#include "core/radio/Bands.h"

std::vector<std::string> CRadioCatalogue::TypeNames() const
{
    std::vector<std::string> names;
    for (int i = 0; i < kMaxRadioTypes; ++i) {
        std::string name = TypeName(i);
        if (name.empty())
            break;
        names.push_back(std::move(name));
    }
    return names;
}

std::string CRadioCatalogue::TypeName(int index) const
{
    return m_ini.GetString("Setup", "Type" + std::to_string(index + 1), "");
}

std::string CRadioCatalogue::BandList(int typeIndex) const
{
    return m_ini.GetString("Setup", "Field" + std::to_string(typeIndex + 1), "");
}

std::vector<std::string> CRadioCatalogue::Bands(int typeIndex) const { return SplitBandList(BandList(typeIndex)); }

std::string CRadioCatalogue::Band(int typeIndex, int bandIndex) const
{
    return BandListItem(BandList(typeIndex), bandIndex);
}

std::string SyncRadioType(Image& image, bool newDocument, const CIniFile& ini, ISettingsStore& store,
                          const std::string& languageSection)
{
    const std::string key = SettingsKey(ini);
    if (newDocument) {
        // A new document starts as the radio type and band last used.
        image[mem::kRadioType] = static_cast<std::uint8_t>(store.ReadDword(key, kSettingType).value_or(0));
        image[mem::kBandIndex] = static_cast<std::uint8_t>(store.ReadDword(key, kSettingField).value_or(0));
    } else {
        store.WriteDword(key, kSettingType, image[mem::kRadioType]);
        store.WriteDword(key, kSettingField, image[mem::kBandIndex]);
    }

    const CRadioCatalogue catalogue(ini);
    const BandRange band = ParseBandItem(catalogue.Band(image[mem::kRadioType], image[mem::kBandIndex]));
    EncodeBandRecord(band.low, band.high, &image[mem::kSelectedBand]);

    return ini.GetString(languageSection, "AppName", "");
}

void ApplyProductChoice(const ProductChoice& choice, Image* image, const CIniFile& ini, ISettingsStore& store)
{
    // Without a document there is no image to store the choice in; the
    // remembered choice is still updated.
    if (image) {
        (*image)[mem::kRadioType] = static_cast<std::uint8_t>(choice.type);
        (*image)[mem::kBandIndex] = static_cast<std::uint8_t>(choice.band);
        const BandRange band = ParseBandItem(choice.bandText);
        EncodeBandRecord(band.low, band.high, &(*image)[mem::kSelectedBand]);
    }
    const std::string key = SettingsKey(ini);
    store.WriteDword(key, kSettingType, static_cast<std::uint32_t>(choice.type));
    store.WriteDword(key, kSettingField, static_cast<std::uint32_t>(choice.band));
}

std::string ProductCaption(const std::string& appName, const ProductChoice& choice)
{
    return appName + "  [ Type:" + choice.typeText + "  Fre:" + choice.bandText + " ]";
}
