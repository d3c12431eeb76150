#include "wsq/CodedData.h"

namespace vela::wsq {

void CodedDataReader::Fill() {
  while (count <= 56 && stop == Stop::None) {
    if (position >= file.size()) {
      stop = Stop::End;
      return;
    }
    uint8_t byte = file[position];
    if (byte == 0xFF) {
      if (position + 1 >= file.size()) {
        stop = Stop::End;
        return;
      }
      if (file[position + 1] != 0x00) {
        stop = Stop::Marker;
        return;
      }
      ++position;  // the stuffed zero
    }
    ++position;
    bits = bits << 8 | byte;
    count += 8;
  }
}

}  // namespace vela::wsq
