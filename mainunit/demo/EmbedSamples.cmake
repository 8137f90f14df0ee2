# Builds the demo voice clips (demo/samples/*.aac) into a library as a generated source that
# defines DemoSamples::all(), so the stand-in can seed its demo data from any folder.
#
# Included from a CMakeLists.txt, this file defines orven_embed_demo_samples(target). The
# generated source is made at build time by running this same file with cmake -P, which
# takes SAMPLES_DIR, HEADER and OUTPUT.

if(NOT CMAKE_SCRIPT_MODE_FILE)
    function(orven_embed_demo_samples target)
        set(demo_dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}")
        file(GLOB samples CONFIGURE_DEPENDS "${demo_dir}/samples/*.aac")
        set(output "${CMAKE_CURRENT_BINARY_DIR}/DemoSamples.cpp")
        add_custom_command(OUTPUT "${output}"
            COMMAND "${CMAKE_COMMAND}" "-DSAMPLES_DIR=${demo_dir}/samples"
                    "-DHEADER=${demo_dir}/../DemoSamples.h" "-DOUTPUT=${output}"
                    -P "${demo_dir}/EmbedSamples.cmake"
            DEPENDS ${samples} "${demo_dir}/EmbedSamples.cmake"
            COMMENT "Embedding the demo voice samples"
            VERBATIM)
        target_sources(${target} PRIVATE "${output}")
    endfunction()
    return()
endif()

file(GLOB samples "${SAMPLES_DIR}/*.aac")
list(SORT samples)
if(NOT samples)
    message(FATAL_ERROR "no demo samples in ${SAMPLES_DIR}; run demo/make-samples.sh")
endif()

# Sixteen bytes a line; CMake's regular expressions have no counted repetition.
string(REPEAT "0x[0-9a-f][0-9a-f]," 16 line_of_bytes)
set(arrays "")
set(table "")
set(index 0)
foreach(sample IN LISTS samples)
    get_filename_component(name "${sample}" NAME_WE)
    file(READ "${sample}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(${line_of_bytes})" "\\1\n    " bytes "${bytes}")
    string(APPEND arrays "const unsigned char kSample${index}[${size}] = {\n    ${bytes}\n};\n\n")
    string(APPEND table "    {\"${name}\", {reinterpret_cast<const char*>(kSample${index}), ${size}}},\n")
    math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUTPUT}" "// Generated from the demo samples by EmbedSamples.cmake; edits are lost.
#include \"${HEADER}\"

namespace orven {
namespace {

${arrays}const DemoSamples::Sample kSamples[] = {
${table}};

}  // namespace

std::span<const DemoSamples::Sample> DemoSamples::all() { return kSamples; }

}  // namespace orven
")
