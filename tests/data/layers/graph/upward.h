// A graph source reaching up into the shell: the layer check must refuse it.
#include "app/ui/main_frame.h"
