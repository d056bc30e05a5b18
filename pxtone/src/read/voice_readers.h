// Readers of the voice blocks. Each takes the block's body and fills a
// Voice; false means the voice cannot be played (the tune still loads and
// that voice sounds silent). None reads outside the body.
#ifndef PXTONE_VOICE_READERS_H
#define PXTONE_VOICE_READERS_H

#include "read/byte_reader.h"
#include "tune_model.h"

namespace pxtone {

bool read_ptvoice_block(ByteReader body, Voice &voice);  // "matePTV "
// `noise_work` counts the synthesis work spent on the tune's noise voices
// so far (samples times units); a voice that would pass
// MAX_TUNE_NOISE_WORK is not synthesised and cannot be played.
bool read_ptnoise_block(ByteReader body, Voice &voice, uint64_t &noise_work);  // "matePTN "
bool read_pcm_block(ByteReader body, Voice &voice);      // "matePCM "
bool read_ogg_block(ByteReader body, Voice &voice);      // "mateOGGV"

// The ptvoice data itself (as in a ".ptvoice" file), into layers.
bool read_ptvoice_data(ByteReader r, std::vector<WaveLayer> &layers);

}  // namespace pxtone

#endif
