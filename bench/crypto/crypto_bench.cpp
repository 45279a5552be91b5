// Speed of the text deciphering and of the 256-bit block cipher (see docs/monitoring.md,
// "Benchmarks"). Every DecryptText builds a fresh AES object, fresh tables and a fresh
// key schedule; the baseline does the same with tables computed at run time.

#include <benchmark/benchmark.h>

#include <array>
#include <stdexcept>

#include "bench/crypto/baseline_rijndael.h"
#include "core/crypto/aes.h"
#include "core/crypto/text_cipher.h"

namespace zc {
namespace {

class NoReports final : public FailureReporter {
 public:
  void Report(TextView, TextView) override { throw std::logic_error("unexpected failure report"); }
};

// A stored form of `digits` hexadecimal digits (64, 128, 192: up to 14, 30, 46 characters).
Text StoredForm(int digits) {
  const std::size_t characters = static_cast<std::size_t>((digits / 2 - 4) / 2);
  Text plain;
  for (std::size_t i = 0; i < characters; ++i) plain.push_back(static_cast<char16_t>(u'가' + 101 * i));
  NoReports reporter;
  Text stored = EncryptText(plain, kTextKey, reporter);
  if (stored.size() != static_cast<std::size_t>(digits)) throw std::logic_error("unexpected stored length");
  if (bench::BaselineDecryptText(stored, kTextKey) != plain) throw std::logic_error("baseline disagrees");
  return stored;
}

void BM_DecryptText(benchmark::State& state) {
  const Text stored = StoredForm(static_cast<int>(state.range(0)));
  NoReports reporter;
  for (auto _ : state) {
    Text plain = DecryptText(stored, kTextKey, reporter);
    benchmark::DoNotOptimize(plain);
  }
}
BENCHMARK(BM_DecryptText)->Arg(64)->Arg(128)->Arg(192);

void BM_BaselineDecryptText(benchmark::State& state) {
  const Text stored = StoredForm(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::u16string plain = bench::BaselineDecryptText(stored, kTextKey);
    benchmark::DoNotOptimize(plain);
  }
}
BENCHMARK(BM_BaselineDecryptText)->Arg(64)->Arg(128)->Arg(192);

std::array<std::uint8_t, 32> Key() {
  std::array<std::uint8_t, 32> key{};
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(7 * i + 1);
  return key;
}

template <bool kEncrypt>
void BM_Block256(benchmark::State& state) {
  NoReports reporter;
  AES aes(reporter);
  aes.gentables();
  aes.gkey(8, 8, Key());
  std::array<std::uint8_t, 32> block{};
  for (auto _ : state) {
    if constexpr (kEncrypt) {
      aes.Encrypt(block);
    } else {
      aes.Decrypt(block);
    }
    benchmark::DoNotOptimize(block);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 32);
}
BENCHMARK(BM_Block256<true>)->Name("BM_EncryptBlock_Nb8Nk8");
BENCHMARK(BM_Block256<false>)->Name("BM_DecryptBlock_Nb8Nk8");

template <bool kEncrypt>
void BM_BaselineBlock256(benchmark::State& state) {
  bench::BaselineRijndael cipher;
  cipher.gentables();
  cipher.gkey(8, 8, Key().data());
  std::array<std::uint8_t, 32> block{};
  for (auto _ : state) {
    if constexpr (kEncrypt) {
      cipher.Encrypt(block.data());
    } else {
      cipher.Decrypt(block.data());
    }
    benchmark::DoNotOptimize(block);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 32);
}
BENCHMARK(BM_BaselineBlock256<true>)->Name("BM_BaselineEncryptBlock_Nb8Nk8");
BENCHMARK(BM_BaselineBlock256<false>)->Name("BM_BaselineDecryptBlock_Nb8Nk8");

// The per-call set-up that DecryptText pays before its first block.
void BM_FreshObjectTablesAndKey(benchmark::State& state) {
  NoReports reporter;
  const auto key = Key();
  for (auto _ : state) {
    AES aes(reporter);
    aes.gentables();
    aes.gkey(8, 8, key);
    benchmark::DoNotOptimize(&aes);
  }
}
BENCHMARK(BM_FreshObjectTablesAndKey);

void BM_BaselineFreshObjectTablesAndKey(benchmark::State& state) {
  const auto key = Key();
  for (auto _ : state) {
    bench::BaselineRijndael cipher;
    cipher.gentables();
    cipher.gkey(8, 8, key.data());
    benchmark::DoNotOptimize(&cipher);
  }
}
BENCHMARK(BM_BaselineFreshObjectTablesAndKey);

}  // namespace
}  // namespace zc
