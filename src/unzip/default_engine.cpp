#include "unzip/engine.h"

namespace unzip {

Engine& DefaultEngine() {
    static Engine engine;
    return engine;
}

} // namespace unzip
