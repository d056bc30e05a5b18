// Placeholder for the C interface until the streamer lands: every call
// succeeds or fails harmlessly and nothing ever streams.
#include "pxtone.h"

extern "C" {
int pxtone_Ready(void *, int, int, int, float, int, PXTONEPLAY_CALLBACK) { return 1; }
int pxtone_Release(void) { return 1; }
int pxtone_Tune_Load(void *, const char *, const char *) { return 0; }
int pxtone_Tune_Release(void) { return 1; }
int pxtone_Tune_Start(int32_t, int32_t) { return 0; }
int32_t pxtone_Tune_Stop(void) { return 0; }
int pxtone_Tune_SetLoop(int) { return 1; }
int pxtone_Tune_IsStreaming(void) { return 0; }
int pxtone_Tune_GetInformation(int32_t *a, float *b, int32_t *c, int32_t *d) {
    if (a) *a = 0;
    if (b) *b = 0;
    if (c) *c = 0;
    if (d) *d = 0;
    return 0;
}
const char *pxtone_GetLastError(void) { return "engine not built yet"; }
}
