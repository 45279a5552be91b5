// zdefs' signing commands (ECDSA P-256 over SHA-256, through OpenSSL):
//
//   zdefs keygen PRIVATE PUBLIC
//       Writes a fresh key pair as PEM files (PRIVATE readable by its owner only) and
//       prints the public key in the form the build option ZC_DEFINITIONS_PUBLIC_KEY
//       takes: 128 hexadecimal digits, the point's X then Y. Never overwrites a file.
//   zdefs public-key PUBLIC
//       Prints that form again for a PEM public (or private) key.
//   zdefs sign WIRE PRIVATE
//       Writes the detached signature of WIRE's exact bytes to WIRE.sig: r then s (in its
//       low form, signature_form.h) as 128 upper-case hexadecimal digits and a line feed.
//       Never replaces an existing WIRE.sig.
//   zdefs verify WIRE SIG PUBLIC
//       Exit 0 when SIG is PUBLIC's signature of WIRE's exact bytes in the low-s form, 1
//       with the reason when it is not or cannot be read as a signature.
//
// Exit 2: bad arguments, a file that cannot be read, a key file that holds no P-256 key.

#include <iostream>

#include "core/definitions/signature_form.h"
#include "core/definitions/signature_text.h"
#include "tools/zdefs/command.h"
#include "tools/zdefs/signing/file_bytes.h"
#include "tools/zdefs/signing/openssl_signatures.h"
#include "tools/zdefs/signing/p256_keys.h"

namespace zc::zdefs {
namespace {

int Unreadable(const std::string& path, std::ostream& err) {
  err << "zdefs: cannot read " << path << "\n";
  return kUsageError;
}

int BadKey(const std::string& path, const std::string& error, std::ostream& err) {
  err << "zdefs: " << path << ": " << error << "\n";
  return kUsageError;
}

int RunKeygen(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 || args[0] == args[1]) return PrintUsage("keygen", err);
  for (const std::string& path : args) {
    if (FileExists(path)) {
      err << "zdefs: " << path << " exists; keygen never overwrites a key\n";
      return 1;
    }
  }
  std::string error;
  const std::optional<PemKeyPair> pair = GenerateP256KeyPair(error);
  const std::optional<P256PublicKey> point = pair ? ReadP256PublicKey(pair->publicPem, error) : std::nullopt;
  if (!point) {
    err << "zdefs: " << error << "\n";
    return 1;
  }
  std::string written;
  if (!WriteFileBytes(args[0], pair->privatePem, /*secret=*/true, &written)) {
    err << "zdefs: cannot write " << args[0] << ": " << written << "\n";
    return 1;
  }
  if (!WriteFileBytes(args[1], pair->publicPem, /*secret=*/false, &written)) {
    err << "zdefs: cannot write " << args[1] << ": " << written << "\n";
    return 1;
  }
  out << WriteP256Hex(*point) << "\n";
  return 0;
}

int RunPublicKey(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) return PrintUsage("public-key", err);
  const std::optional<std::string> pem = ReadFileBytes(args[0]);
  if (!pem) return Unreadable(args[0], err);
  std::string error;
  const std::optional<P256PublicKey> point = ReadP256PublicKey(*pem, error);
  if (!point) return BadKey(args[0], error, err);
  out << WriteP256Hex(*point) << "\n";
  return 0;
}

int RunSign(const std::vector<std::string>& args, std::istream&, std::ostream&, std::ostream& err) {
  if (args.size() != 2) return PrintUsage("sign", err);
  const std::optional<std::string> wire = ReadFileBytes(args[0]);
  if (!wire) return Unreadable(args[0], err);
  const std::optional<std::string> pem = ReadFileBytes(args[1]);
  if (!pem) return Unreadable(args[1], err);
  std::string error;
  const std::optional<P256Signature> signature = SignP256(*pem, *wire, error);
  if (!signature) return BadKey(args[1], error, err);
  const std::string target = args[0] + ".sig";
  std::string written;
  if (!WriteFileBytes(target, WriteP256Hex(WithLowS(*signature)) + "\n", /*secret=*/false, &written)) {
    err << "zdefs: cannot write " << target << ": " << written << "\n";
    return 1;
  }
  return 0;
}

int RunVerify(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
  if (args.size() != 3) return PrintUsage("verify", err);
  const std::optional<std::string> wire = ReadFileBytes(args[0]);
  if (!wire) return Unreadable(args[0], err);
  const std::optional<std::string> sigText = ReadFileBytes(args[1]);
  if (!sigText) return Unreadable(args[1], err);
  const std::optional<std::string> pem = ReadFileBytes(args[2]);
  if (!pem) return Unreadable(args[2], err);
  std::string error;
  const std::optional<P256PublicKey> key = ReadP256PublicKey(*pem, error);
  if (!key) return BadKey(args[2], error, err);

  Text problem;
  const std::optional<P256Signature> signature = ReadSignatureText(*sigText, problem);
  if (!signature) {
    err << "zdefs: " << args[1] << " is not a signature: " << ToUtf8(problem) << "\n";
    return 1;
  }
  if (!HasLowS(*signature)) {
    err << "zdefs: " << args[1] << " is not in the one accepted form: its s is high\n";
    return 1;
  }
  OpenSslSignatures openssl;
  const SignatureCheck check = openssl.VerifyP256(*key, *wire, *signature);
  switch (check.verdict) {
    case SignatureVerdict::Valid:
      out << "good signature\n";
      return 0;
    case SignatureVerdict::Invalid:
      err << "zdefs: " << args[1] << " is not the signature of " << args[0] << " under " << args[2] << "\n";
      return 1;
    case SignatureVerdict::KeyRejected:
      break;
  }
  return BadKey(args[2], ToUtf8(check.detail), err);
}

const CommandRegistration kKeygen{{"keygen", "keygen PRIVATE PUBLIC", RunKeygen}};
const CommandRegistration kPublicKey{{"public-key", "public-key PUBLIC", RunPublicKey}};
const CommandRegistration kSign{{"sign", "sign WIRE PRIVATE", RunSign}};
const CommandRegistration kVerify{{"verify", "verify WIRE SIG PUBLIC", RunVerify}};

}  // namespace
}  // namespace zc::zdefs
