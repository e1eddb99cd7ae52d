#!/usr/bin/env bash
# scripts/sign on a copy of the demo package's setup.exe, with a throwaway self-signed
# code-signing certificate made here: osslsigncode must accept the signature against that
# certificate, find the program under it unchanged, and refuse the file once a byte changes.
set -euo pipefail
work=$ORVO_BUILD_DIR/scratch/signing
rm -rf "$work"
mkdir -p "$work"
cd "$work"
fail() { echo "FAIL: $*"; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=orvo-setup test signer" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout key.pem -out cert.pem 2>openssl.log || fail "openssl: $(cat openssl.log)"
cp "$ORVO_BUILD_DIR/demo-package/setup.exe" unsigned.exe
"$ORVO_SOURCE_DIR/scripts/sign" cert.pem key.pem unsigned.exe setup.exe

osslsigncode verify -CAfile cert.pem -in setup.exe >verify.log 2>&1 ||
    fail "the signature does not verify: $(cat verify.log)"
osslsigncode remove-signature -in setup.exe -out stripped.exe >/dev/null
cmp -s unsigned.exe stripped.exe || fail "signing changed the program beyond the signature"
cp setup.exe tampered.exe
printf 'X' | dd of=tampered.exe bs=1 seek=4096 conv=notrunc status=none
if osslsigncode verify -CAfile cert.pem -in tampered.exe >/dev/null 2>&1; then
    fail "a changed program still verifies"
fi
echo "signed and verified: $work/setup.exe"
