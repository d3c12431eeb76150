#include "wsq/HuffmanCodes.h"

#include <algorithm>

#include "wsq/WsqCodec.h"

namespace vela::wsq {
namespace {

// Calls assign(index, code, length) for every symbol in code order.
template <typename Assign>
bool ForEachCode(const HuffmanTable& table, Assign assign) {
  uint32_t code = 0;
  size_t index = 0;
  for (int length = 1; length <= kMaxCodeLength; ++length) {
    for (int i = 0; i < table.counts[length - 1]; ++i) assign(index++, code++, length);
    if (code > (1u << length)) return false;
    code <<= 1;
  }
  return true;
}

}  // namespace

int CheckHuffmanTable(const HuffmanTable& table) {
  size_t total = 0;
  for (uint8_t count : table.counts) total += count;
  if (total > kMaxHuffmanValues || total != table.values.size()) return kBadHuffmanTable;
  return ForEachCode(table, [](size_t, uint32_t, int) {}) ? kOk : kBadHuffmanTable;
}

HuffmanDecoder::HuffmanDecoder(const HuffmanTable& table) {
  maxCode.fill(-1);
  std::copy(table.values.begin(), table.values.end(), values.begin());
  ForEachCode(table, [&](size_t index, uint32_t code, int length) {
    if (maxCode[length] < 0) {
      firstCode[length] = static_cast<int32_t>(code);
      firstIndex[length] = static_cast<int32_t>(index);
    }
    maxCode[length] = static_cast<int32_t>(code);
    if (length > kLookupBits) return;
    const int spare = kLookupBits - length;
    const uint16_t entry = static_cast<uint16_t>(length << 8 | table.values[index]);
    std::fill_n(lookup.begin() + (code << spare), size_t{1} << spare, entry);
  });
}

HuffmanDecoder::Match HuffmanDecoder::Decode(uint32_t bits) const {
  const uint16_t entry = lookup[bits >> (kMaxCodeLength - kLookupBits)];
  if (entry != 0) return Match{entry >> 8, static_cast<uint8_t>(entry & 0xFF)};
  for (int length = kLookupBits + 1; length <= kMaxCodeLength; ++length) {
    const int32_t code = static_cast<int32_t>(bits >> (kMaxCodeLength - length));
    if (maxCode[length] >= 0 && code <= maxCode[length])
      return Match{length, values[size_t(firstIndex[length] + code - firstCode[length])]};
  }
  return Match{};
}

HuffmanEncoder EncoderFor(const HuffmanTable& table) {
  HuffmanEncoder encoder;
  ForEachCode(table, [&](size_t index, uint32_t code, int length) {
    encoder.code[table.values[index]] = static_cast<uint16_t>(code);
    encoder.length[table.values[index]] = static_cast<uint8_t>(length);
  });
  return encoder;
}

HuffmanTable OptimalHuffmanTable(const std::array<uint32_t, kMaxHuffmanValues>& frequencies) {
  // One extra symbol of frequency 1 reserves the all-ones code.
  constexpr int kReserved = kMaxHuffmanValues;
  std::array<uint64_t, kMaxHuffmanValues + 1> weight{};
  std::copy(frequencies.begin(), frequencies.end(), weight.begin());
  if (std::all_of(frequencies.begin(), frequencies.end(), [](uint32_t f) { return f == 0; }))
    weight[1] = 1;
  weight[kReserved] = 1;
  std::array<int, kMaxHuffmanValues + 1> codeSize{};
  std::array<int, kMaxHuffmanValues + 1> next{};
  next.fill(-1);

  // Merge the two lightest trees until one is left; among equal weights the
  // higher symbol goes first.
  auto lightest = [&](int except) {
    int found = -1;
    for (int s = 0; s <= kReserved; ++s)
      if (weight[s] != 0 && s != except && (found < 0 || weight[s] <= weight[found])) found = s;
    return found;
  };
  for (;;) {
    int a = lightest(-1);
    int b = lightest(a);
    if (b < 0) break;
    weight[a] += weight[b];
    weight[b] = 0;
    for (++codeSize[a]; next[a] >= 0; ++codeSize[a]) a = next[a];
    next[a] = b;
    for (++codeSize[b]; next[b] >= 0; ++codeSize[b]) b = next[b];
  }

  std::array<int, 2 * kMaxHuffmanValues + 2> lengthCount{};
  for (int size : codeSize)
    if (size > 0) ++lengthCount[size];
  // Codes longer than 16 bits: move pairs up the tree, as JPEG does.
  for (int length = static_cast<int>(lengthCount.size()) - 1; length > kMaxCodeLength; --length)
    while (lengthCount[length] > 0) {
      int shorter = length - 2;
      while (lengthCount[shorter] == 0) --shorter;
      lengthCount[length] -= 2;
      lengthCount[length - 1] += 1;
      lengthCount[shorter + 1] += 2;
      lengthCount[shorter] -= 1;
    }
  int longest = kMaxCodeLength;
  while (lengthCount[longest] == 0) --longest;
  --lengthCount[longest];  // the reserved code

  HuffmanTable table;
  table.defined = true;
  for (int length = 1; length <= kMaxCodeLength; ++length)
    table.counts[length - 1] = static_cast<uint8_t>(lengthCount[length]);
  for (int size = 1; size < static_cast<int>(lengthCount.size()); ++size)
    for (int s = 0; s < kMaxHuffmanValues; ++s)
      if (codeSize[s] == size) table.values.push_back(static_cast<uint8_t>(s));
  return table;
}

}  // namespace vela::wsq
