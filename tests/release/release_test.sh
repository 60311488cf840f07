#!/usr/bin/env bash
# The release command, end to end: two builds of one commit in two scratch folders are
# byte-identical, SHA256SUMS covers the exe and LIESMICH.txt, the stripped exe keeps
# within 1.5 MB, and a build signed with a throwaway certificate verifies against that
# certificate's CA, differs from the unsigned one only by the signature, and fails
# verification once a byte is changed.
#   release_test.sh SOURCE_DIR SCRATCH_DIR
set -euo pipefail
src=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch/pki"
fail() { echo "FAIL: $*" >&2; exit 1; }

commit=$(git -C "$src" rev-parse HEAD)
export SW_RELEASE_REF=$commit

# Throwaway PKI: a CA and a code-signing certificate it issued.
pki=$scratch/pki
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=Sichtwerk Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout "$pki/ca.key" -out "$pki/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -sha256 -subj "/CN=Sichtwerk Test Signer" \
  -keyout "$pki/sign.key" -out "$pki/sign.csr" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >"$pki/ext"
openssl x509 -req -in "$pki/sign.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" -CAcreateserial \
  -days 2 -sha256 -extfile "$pki/ext" -out "$pki/sign.pem" 2>/dev/null
cat "$pki/sign.pem" "$pki/ca.pem" >"$pki/chain.pem"
# A second CA that issued nothing: verification against it must fail.
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=Other CA" \
  -keyout "$pki/other.key" -out "$pki/other.pem" 2>/dev/null

SW_RELEASE_BUILD="$scratch/a" SW_RELEASE_DIST="$scratch/dist-a" \
  bash "$src/tools/release.sh" >"$scratch/a.log" 2>&1 || { cat "$scratch/a.log"; fail "unsigned release build"; }
SW_RELEASE_BUILD="$scratch/b" SW_RELEASE_DIST="$scratch/dist-b" \
  SW_SIGN_CERT="$pki/chain.pem" SW_SIGN_KEY="$pki/sign.key" \
  bash "$src/tools/release.sh" >"$scratch/b.log" 2>&1 || { cat "$scratch/b.log"; fail "signed release build"; }

a=$scratch/dist-a/Sichtwerk.exe
b=$scratch/dist-b/Sichtwerk.exe
(cd "$scratch/dist-a" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS of the unsigned build"
(cd "$scratch/dist-b" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS of the signed build"
[ "$(cut -d' ' -f3- "$scratch/dist-a/SHA256SUMS" | tr '\n' ' ')" = "Sichtwerk.exe LIESMICH.txt " ] \
  || fail "SHA256SUMS covers other than Sichtwerk.exe and LIESMICH.txt"
git -C "$src" show "$commit:docs/LIESMICH.txt" | cmp - "$scratch/dist-a/LIESMICH.txt" || fail "LIESMICH.txt not as committed"
# The size target of the program: stripped, at most 1.5 MB.
size=$(stat -c %s "$a")
[ "$size" -le 1572864 ] || fail "Sichtwerk.exe is $size bytes, more than 1.5 MB"

# Stripped: no symbol table and no debug sections.
if i686-w64-mingw32-objdump -h "$a" | grep -q '\.debug'; then fail "debug sections in the release exe"; fi
i686-w64-mingw32-objdump -t "$a" | grep -q 'no symbols' || fail "symbols left in the release exe"

osslsigncode verify -CAfile "$pki/ca.pem" -in "$b" >"$scratch/verify.log" 2>&1 \
  || { cat "$scratch/verify.log"; fail "signature does not verify"; }
if osslsigncode verify -CAfile "$pki/other.pem" -in "$b" >/dev/null 2>&1; then
  fail "signature verifies against a CA that never issued the certificate"
fi
if osslsigncode verify -CAfile "$pki/ca.pem" -in "$a" >/dev/null 2>&1; then
  fail "the unsigned build claims a signature"
fi

# Byte-identical builds: the signed one, with its signature removed, must equal the
# unsigned one from the other tree.
osslsigncode remove-signature -in "$b" -out "$scratch/b-unsigned.exe" >/dev/null
if ! cmp "$a" "$scratch/b-unsigned.exe"; then
  cmp -l "$a" "$scratch/b-unsigned.exe" | head -5 >&2
  fail "two builds of $commit differ"
fi

# A changed byte in the code breaks the signature.
cp "$b" "$scratch/tampered.exe"
printf '\x90' | dd of="$scratch/tampered.exe" bs=1 seek=$((0x600)) conv=notrunc status=none
if osslsigncode verify -CAfile "$pki/ca.pem" -in "$scratch/tampered.exe" >/dev/null 2>&1; then
  fail "a tampered exe still verifies"
fi
echo "release builds of $commit identical, signature verified"
