#!/usr/bin/env bash
# The README's nginx recipe as a site's owner uses it: its block inside Debian's stock
# nginx.conf, serving the site on 127.0.0.1, and what the page needs of every answer
# (types, compression, revalidation, the security policy).
#   nginx_test.sh SITE README
set -uo pipefail
source "$(dirname "$0")/../checks.sh"
site=$1
readme=$2
nginx=$(command -v nginx || echo /usr/sbin/nginx)
if [ ! -x "$nginx" ] || [ ! -f /etc/nginx/nginx.conf ]; then
    echo "skipped: Debian's nginx is not installed"
    exit 77
fi
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
mkdir -p "$work/www/mardovane" "$work/logs"
cp -r "$site"/. "$work/www/mardovane/"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
recipe=$(sed -n '/^```nginx$/,/^```$/p' "$readme" | sed '1d;$d')
check "the README has an nginx block" test -n "$recipe"
cat > "$work/site.conf" <<EOF
client_body_temp_path $work/body;
proxy_temp_path $work/proxy;
fastcgi_temp_path $work/fastcgi;
uwsgi_temp_path $work/uwsgi;
scgi_temp_path $work/scgi;
server {
    listen 127.0.0.1:$port;
    root $work/www;
$recipe
}
EOF
# Debian's own configuration, with the site in place of its sites, and its files here.
sed -e "s|^user .*|user $(id -un);|" -e "s|^pid .*|pid $work/nginx.pid;|" \
    -e "s|/var/log/nginx/|$work/logs/|g" \
    -e "s|include /etc/nginx/sites-enabled/\*;|include $work/site.conf;|" \
    -e "s|include /etc/nginx/conf.d/\*.conf;||" /etc/nginx/nginx.conf > "$work/nginx.conf"
"$nginx" -e "$work/logs/error.log" -c "$work/nginx.conf" -g "daemon off;" &
pid=$!
for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $port))" 2>/dev/null && break
    sleep 0.1
done

# `answer PATH HEADER` prints that header of the answer to a browser's request for PATH.
answer() {
    python3 - "$port" "$1" "$2" <<'EOF'
import sys, urllib.request
port, path, header = sys.argv[1:]
request = urllib.request.Request(f"http://127.0.0.1:{port}/mardovane/{path}",
                                 headers={"Accept-Encoding": "gzip"})
with urllib.request.urlopen(request) as response:
    print(response.headers.get(header, ""))
EOF
}
has() { [[ $(answer "$1" "$2") == *"$3"* ]]; }
check "the page is a web page" has "" Content-Type text/html
check "the page carries the security policy" has "" Content-Security-Policy "'wasm-unsafe-eval'"
check "a script is JavaScript" has "page.js?v=1" Content-Type javascript
check "the style sheet is CSS" has "style.css?v=1" Content-Type text/css
check "the program is WebAssembly" has "mardovane.wasm?v=1" Content-Type application/wasm
check "the manifest is a manifest" has "manifest.webmanifest" Content-Type application/manifest+json
for path in "page.js?v=1" "style.css?v=1" "mardovane.wasm?v=1" "keyword.info"; do
    check "$path is compressed" has "$path" Content-Encoding gzip
done
check "the table can be revalidated" has "keyword.info" Last-Modified GMT
for path in "" "sw.js" "keyword.info" "manifest.webmanifest"; do
    check "${path:-the page} is checked again at every visit" has "$path" Cache-Control no-cache
done
finish
