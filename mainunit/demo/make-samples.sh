#!/bin/sh
# Makes the short voice clips the main unit stand-in serves as its demo messages.
# The results are committed, so the build and the tests never need these tools:
#   apt-get install espeak-ng sox ffmpeg
# The clips are what the main unit accepts: ADTS without CRC, AAC-LC, 8000 Hz, mono.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out="$here/samples"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

for tool in espeak-ng sox ffmpeg ffprobe od awk; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

# Bit-exact flags keep the output the same from run to run, so re-running leaves git quiet.
encode() {
    ffmpeg -nostdin -loglevel error -y -i "$1" -ar 8000 -ac 1 -c:a aac -b:a 16k \
        -fflags +bitexact -flags:a +bitexact -f adts "$out/$2.aac"
}

# Frames by the container, and frames by the simple count of the main unit's acceptance
# check: every byte pair FF F1. They differ when the audio happens to hold that pair.
frames() {
    ffprobe -v error -count_packets -select_streams a:0 \
        -show_entries stream=nb_read_packets -of csv=p=0 "$1"
}
syncs() {
    od -An -v -tx1 -w1 "$1" | tr -d ' ' |
        awk 'prev == "ff" && $1 == "f1" { n++; prev = ""; next } { prev = $1 } END { print n + 0 }'
}

speak() {  # name voice text
    espeak-ng -v "$2" -s 150 -w "$work/$1.wav" "$3"
    # Some silence on both ends, as a real recording would have. The leading silence is
    # varied until no stray FF F1 pair would make the acceptance check count an extra frame
    # (shifting the audio changes every frame that follows).
    for lead in 0.25 0.3 0.35 0.4 0.45 0.5; do
        sox "$work/$1.wav" "$work/$1-padded.wav" pad "$lead" 0.25
        encode "$work/$1-padded.wav" "$1"
        [ "$(frames "$out/$1.aac")" = "$(syncs "$out/$1.aac")" ] && return 0
    done
    echo "$1: every variant holds a stray FF F1 pair" >&2
    return 1
}

# The Japanese voice reads kana only, so the phrases are written in hiragana.
speak ja-callback ja "おせわに なっております。やまだしょうじの やまだです。おりかえし おでんわ ください。"
speak ja-delivery ja "かぶしきがいしゃ みどりです。ごちゅうもんの しなを あした おとどけします。"
speak ja-meeting ja "さとうです。あしたの うちあわせは ごご にじから です。よろしく おねがいします。"
speak ja-greeting ja "おでんわ ありがとう ございます。ただいま でんわに でることが できません。"
speak ja-closed ja "ほんじつの えいぎょうは しゅうりょう しました。"
speak en-callback en-us "Hello, this is John Smith from Pacific Trading. Please call me back when you can."

# A caller who hung up: three cycles of the Japanese busy tone (400 Hz, 0.5 s on, 0.5 s off).
sox -n -r 8000 -c 1 "$work/busy-on.wav" synth 0.5 sine 400 vol 0.4
sox -n -r 8000 -c 1 "$work/busy-off.wav" trim 0 0.5
sox "$work/busy-on.wav" "$work/busy-off.wav" "$work/busy-on.wav" "$work/busy-off.wav" \
    "$work/busy-on.wav" "$work/busy-off.wav" "$work/busy.wav"
encode "$work/busy.wav" busy-tone
[ "$(frames "$out/busy-tone.aac")" = "$(syncs "$out/busy-tone.aac")" ]

# The first ADTS header must read FF F1 6C 4x: sync and no CRC, AAC-LC, 8000 Hz, one channel.
status=0
for f in "$out"/*.aac; do
    head=$(od -An -tx1 -N4 "$f" | tr -d ' \n')
    case "$head" in
        fff16c4?) echo "$(basename "$f"): $(wc -c <"$f") bytes" ;;
        *) echo "$(basename "$f"): unexpected ADTS header $head" >&2; status=1 ;;
    esac
done
exit $status
