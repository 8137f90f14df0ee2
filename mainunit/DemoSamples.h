#pragma once

#include <span>
#include <string_view>

namespace orven {

// The short voice clips of the demo data, built into the program so it seeds its messages
// from any folder. The definition is generated at build time from demo/samples/*.aac by
// demo/EmbedSamples.cmake; demo/make-samples.sh makes the clips.
class DemoSamples {
  public:
    struct Sample {
        std::string_view name;  // the clip's file name without ".aac"
        std::string_view aac;   // ADTS, AAC-LC, 8000 Hz, mono
    };

    // Sorted by name; never empty.
    static std::span<const Sample> all();
};

}  // namespace orven
