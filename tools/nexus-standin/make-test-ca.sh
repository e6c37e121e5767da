#!/bin/sh
# Makes a throw-away certificate authority and a server certificate signed by
# it, for running the artifact repository stand-in in tests. The server
# certificate is valid for localhost, 127.0.0.1, ::1 and every extra host name
# given (for example the deployment host, mapped to loopback for a test).
#
#   make-test-ca.sh OUTPUT_DIR [HOST_NAME...]
#
# Writes ca.pem (trust this), server.pem and server.key (give these to the
# stand-in). The CA's private key is deleted once it has signed.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 OUTPUT_DIR [HOST_NAME...]" >&2
    exit 2
fi
out=$1
shift
mkdir -p "$out"
cd "$out"

names="DNS:localhost,IP:127.0.0.1,IP:::1"
for host in "$@"; do
    names="$names,DNS:$host"
done

umask 077
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout ca.key -out ca.pem -days 2 -subj "/CN=dynelle test authority $$" \
    -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
    -keyout server.key -out server.csr -subj "/CN=localhost" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\nsubjectAltName=%s\n' \
    "$names" > server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial \
    -out server.pem -days 2 -extfile server.ext 2>/dev/null
rm -f ca.key ca.srl server.csr server.ext
chmod 644 ca.pem server.pem
echo "$out/ca.pem $out/server.pem $out/server.key"
