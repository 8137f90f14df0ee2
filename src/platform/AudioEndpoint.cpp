#include "platform/AudioEndpoint.h"

namespace orven {

AudioEndpoint::~AudioEndpoint() = default;

}  // namespace orven
