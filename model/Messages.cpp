#include "model/Messages.h"

#include <utility>

namespace {
const std::pair<unsigned, const char*> g_messages[] = {
    {61446, "Entered value is invalid. Last value will be used."},
    {62000, "Invalid value. Last selection will be used."},
    {62001, "Parameters of the selected logical input does not match input reference (InpRef)."},
    {62002, "DynRef must be active before dynamic range can be used."},
    {62003, "Entered value is out of range. The nearest value will be used."},
    {62004, "Out of range. The min value is 0.3 second and max value is 918000 seconds (255 hours)."},
    {62005, "Invalid LED output. Last selection will be used."},
    {62006, "Invalid output. Last selection will be used."},
    {62007, "This alarm is disabled. Not able to change this parameter."},
    {62008, "DynRef is no longer valid. DynRef will be disabled."},
    {62009, "Block is disabled. Enable BLOCK in General pane for this parameter to take effect."},
    {62010, "This input channel is not active."},
    {62011, "This logical input is not active."},
    {62012, "Invalid value. Last value will be used."},
    {62013, "Invalid input. Turn off the current selected input."},
    {62014, "Parameters of the selected input are not match other selected inputs."},
    {62015, "Out off range. The closest match will be used."},
    {62016, "The channel is not active. Default value will be used."},
    {62017, "Invalid input type. Previous will be used."},
    {62018, "The unit holds at most three decimals. Last value will be used."},
    {62019, "Out of range. The unit holds at most 65535, 6553.5, 655.35 or 65.535 by the number of decimals. "
            "Last value will be used."},
    {62020, "The unit cannot hold this delay exactly. The nearest delay it can hold will be used."},
    {62021, "The hysteresis is set in steps of 0.05 %. Last value will be used."},
    {62022, "Too many LCD units. Previous will be used."},
    {62023, "DynRef works only with \xB1. DynRef will be disabled."},
    {62024, "Flags are the letters B (Block), C (Control) and H (Hysteresis), or ... for none. Last value "
            "will be used."},
    {62025, "A text cannot hold control characters such as a tab or a line break. Last value will be used."},
};
} // namespace

std::string LoadMessage(unsigned id) {
    for (const auto& [key, text] : g_messages)
        if (key == id) return text;
    return std::string();
}
