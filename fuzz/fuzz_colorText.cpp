// Colour texts from the configuration file: any text, any component index.
#include "FuzzInput.h"
#include "core/ColorText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString fileValue = FuzzInput::text(data, size);
    const QString colour = ColorText::normalize(fileValue);
    // Normalising twice changes nothing more, and no dot survives it.
    FuzzInput::require(ColorText::normalize(colour) == colour || colour.count(',') == 3);
    FuzzInput::require(!colour.contains('.'));
    for (int index = -1; index <= 3; ++index)
        ColorText::component(colour, index);
    return 0;
}
