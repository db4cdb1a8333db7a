// The signed update message and its check: a signature holds for one version and one installer
// only. The signatures here are made over the message as written out by hand, not by the
// builder, so a builder that drifts from the format fails them.
#include "update/verify/update_message.h"

#include <gtest/gtest.h>

#include <string>

#include "demo/installer_signer.h"
#include "update/installer_checks.h"
#include "update/verify/signature_check.h"

namespace kam::update {
namespace {

using demo::InstallerSigner;

const std::string kSha = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

std::string Message(const std::string& version, const std::string& sha256 = kSha) {
  return "kamplayer-update-v1\nversion=" + version + "\nsha256=" + sha256 + "\n";
}

struct BuildCase {
  const char* what;
  std::string version;
  std::string sha256;
  bool builds;
};

TEST(UpdateMessage, ThreeLinesOfTheVersionAsGivenAndTheLowerCaseDigest) {
  std::string upper_sha = kSha;
  upper_sha[0] = 'B';
  const BuildCase cases[] = {
      {"plain", "2.0.1", kSha, true},
      {"Chinese", "2.0 正式版", kSha, true},
      {"separator and blanks", " 2.0###shengji ", kSha, true},
      {"empty version", "", kSha, true},
      {"markup", "<img src=\"/dev/zero\">", kSha, true},
      {"line end", "2.0\nsha256=" + kSha, kSha, false},
      {"carriage return", "2.0\r", kSha, false},
      {"NUL", std::string("2.0\0x", 5), kSha, false},
      {"upper-case digest", "2.0", upper_sha, false},
      {"short digest", "2.0", kSha.substr(1), false},
      {"long digest", "2.0", kSha + "0", false},
      {"digest with a blank", "2.0", " " + kSha.substr(1), false},
      {"no digest", "2.0", "", false},
  };
  for (const BuildCase& c : cases) {
    SCOPED_TRACE(c.what);
    const auto message = UpdateMessage(c.version, c.sha256);
    ASSERT_EQ(message.has_value(), c.builds);
    if (c.builds) {
      EXPECT_EQ(*message, Message(c.version, c.sha256));
    }
  }
}

struct VerifyCase {
  const char* what;
  std::string signed_text;  // what the publisher signed
  std::string version;      // what the updater was offered
  std::string sha256;       // what it downloaded
  SignatureVerdict verdict;
};

TEST(CheckUpdateSignature, HoldsForTheSignedVersionAndInstallerOnly) {
  const InstallerSigner signer = InstallerSigner::Generate();
  const auto key = ParsePublisherKey(signer.PublicKeyHex());
  ASSERT_TRUE(key.has_value());
  const std::string installer = "#!/bin/sh\nexit 0\n";
  const std::string other_sha(64, 'e');
  const VerifyCase cases[] = {
      {"right version", Message("2.0.1"), "2.0.1", kSha, SignatureVerdict::kGood},
      {"other version (a downgrade)", Message("1.0"), "2.0.1", kSha, SignatureVerdict::kWrong},
      {"other version offered", Message("2.0.1"), "~~~", kSha, SignatureVerdict::kWrong},
      {"version's beginning", Message("2.0"), "2.0.1", kSha, SignatureVerdict::kWrong},
      {"version's case", Message("v2.0"), "V2.0", kSha, SignatureVerdict::kWrong},
      {"other installer", Message("2.0.1", other_sha), "2.0.1", kSha, SignatureVerdict::kWrong},
      {"bytes only", installer, "2.0.1", kSha, SignatureVerdict::kWrong},
      {"digest only", kSha, "2.0.1", kSha, SignatureVerdict::kWrong},
      {"without the last line end", Message("2.0.1").substr(0, Message("2.0.1").size() - 1),
       "2.0.1", kSha, SignatureVerdict::kWrong},
      {"CR LF line ends", "kamplayer-update-v1\r\nversion=2.0.1\r\nsha256=" + kSha + "\r\n",
       "2.0.1", kSha, SignatureVerdict::kWrong},
      {"another program's header", "other-update-v1\nversion=2.0.1\nsha256=" + kSha + "\n", "2.0.1",
       kSha, SignatureVerdict::kWrong},
      {"Chinese version", Message("2.0 正式版"), "2.0 正式版", kSha, SignatureVerdict::kGood},
      // The same text in GBK is other bytes: the version is signed as UTF-8.
      {"Chinese version in GBK",
       "kamplayer-update-v1\nversion=2.0 \xd5\xfd\xca\xbd\xb0\xe6\n"
       "sha256=" +
           kSha + "\n",
       "2.0 正式版", kSha, SignatureVerdict::kWrong},
      {"separator and blanks", Message(" 2.0###x "), " 2.0###x ", kSha, SignatureVerdict::kGood},
      {"blanks trimmed", Message("2.0###x"), " 2.0###x ", kSha, SignatureVerdict::kWrong},
      {"digest in upper case", Message("2.0.1"), "2.0.1",
       "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
       SignatureVerdict::kWrong},
      {"version with a line end", Message("2.0\nsha256=" + kSha), "2.0\nsha256=" + kSha, kSha,
       SignatureVerdict::kBadVersion},
  };
  for (const VerifyCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CheckUpdateSignature(*key, c.version, c.sha256, signer.SignatureText(c.signed_text)),
              c.verdict);
  }
  const InstallerSigner other = InstallerSigner::Generate();
  EXPECT_EQ(CheckUpdateSignature(*key, "2.0.1", kSha, other.SignatureText(Message("2.0.1"))),
            SignatureVerdict::kWrong);
  EXPECT_EQ(CheckUpdateSignature(*key, "2.0.1", kSha, "not base64"), SignatureVerdict::kMalformed);
}

TEST(CheckUpdateSignature, DemoSignerSignsWhatTheUpdaterChecks) {
  const InstallerSigner signer = InstallerSigner::Generate();
  LibcryptoInstallerChecks checks(signer.PublicKeyHex());
  const std::string installer = "#!/bin/sh\nexit 0\n";
  auto digest = checks.NewSha256();
  digest->Update(installer);
  const std::string sha256 = digest->HexDigest();
  EXPECT_EQ(checks.CheckSignature("2.0 正式版", sha256,
                                  signer.UpdateSignatureText("2.0 正式版", installer)),
            SignatureVerdict::kGood);
  EXPECT_EQ(checks.CheckSignature("1.0", sha256, signer.UpdateSignatureText("2.0", installer)),
            SignatureVerdict::kWrong);
  EXPECT_EQ(signer.UpdateSignatureText("2.0\n", installer), "");
}

}  // namespace
}  // namespace kam::update
