// Start-up, main loop, shut-down.
#include "app/main_loop.h"

#include "app/frame.h"
#include "platform/platform.h"

int BrindomaMain() {
    return 0;
}
