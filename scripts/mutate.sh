#!/usr/bin/env bash
# Mutation check: applies the mutants of scripts/mutants.txt one at a time to
# a scratch copy of the repository, rebuilds what each touches and runs the
# fast suite (every CTest entry but the fuzzers), fastest executables first,
# until one fails. Prints killed or survived for each mutant, then the score.
# Not part of CI: a full run takes tens of minutes.
#
#   scripts/mutate.sh                      every mutant of the list
#   scripts/mutate.sh src/events/Events.cpp the mutants of one file
#   scripts/mutate.sh toggle 12 31         mutants whose file or description
#                                          contains a word, or by number
#   scripts/mutate.sh --list [selection]   prints the mutants; builds nothing
#   scripts/mutate.sh --timeout 120 ...    seconds one test executable may take
#                                          (default 300; the sim_* entries keep
#                                          their own); a hang counts as killed
#
# The scratch copy and its build trees live in build/mutate/ and are kept
# between runs, so that a mutant rebuilds only what it touches; ccache, when
# installed, makes the rebuild of a restored file a cache hit. Each mutant's
# build and test output is kept in build/mutate/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
list=$root/scripts/mutants.txt
work=$root/build/mutate
copy=$work/tree
logs=$work/logs
native=$copy/build/native-sanitize
windows=$copy/build/windows-release
tsan=$copy/build/native-tsan
test_timeout=300
jobs=2

# The list's reader and the one place that edits a file; Perl because the
# texts span lines and hold every character C++ has.
read -r -d '' list_tool <<'PERL' || true
use strict;
use warnings;

sub parse {
    my ($path) = @_;
    open(my $in, '<', $path) or die "cannot read $path: $!\n";
    my (@mutants, $current);
    my $line = 0;
    while (my $text = <$in>) {
        $line++;
        chomp $text;
        $text =~ s/\r$//;
        if ($text =~ /^@ (\S+?)(?:#(\d+))?:\s*(\S.*)$/) {
            $current = { file => $1, occurrence => $2, description => $3, at => $line,
                         find => [], replace => [], equivalent => undef };
            push @mutants, $current;
            next;
        }
        next if $text =~ /^#/ || $text =~ /^\s*$/;
        die "$path:$line: a mutant begins with '@ <file>: <description>'\n" unless $current;
        if ($text =~ /^equivalent:\s*(\S.*)$/) {
            $current->{equivalent} = $1;
        } elsif ($text =~ /^-(?: (.*))?$/) {
            die "$path:$line: text to replace after its replacement\n" if @{ $current->{replace} };
            push @{ $current->{find} }, $1 // '';
        } elsif ($text =~ /^\+(?: (.*))?$/) {
            push @{ $current->{replace} }, $1 // '';
        } else {
            die "$path:$line: not a mutant line: $text\n";
        }
    }
    for my $m (@mutants) {
        my $where = "$path:$m->{at}";
        die "$where: no text to replace\n" unless join('', @{ $m->{find} }) ne '';
        die "$where: the file must be a path inside the repository\n" if $m->{file} =~ m{(^/|\.\.)};
        die "$where: an occurrence counts from 1\n" if defined $m->{occurrence} && $m->{occurrence} < 1;
        $m->{from} = join("\n", @{ $m->{find} });
        $m->{to} = join("\n", @{ $m->{replace} });
        die "$where: the replacement equals the text\n" if $m->{from} eq $m->{to};
    }
    return @mutants;
}

sub slurp {
    my ($path) = @_;
    open(my $in, '<:raw', $path) or return undef;
    local $/;
    return scalar <$in>;
}

# Where the mutant's text lies in `$content`, or why it does not apply.
sub locate {
    my ($m, $content) = @_;
    return (undef, 'file not found') unless defined $content;
    my @at;
    my $from = 0;
    while ((my $found = index($content, $m->{from}, $from)) >= 0) {
        push @at, $found;
        $from = $found + length($m->{from});
    }
    my $wanted = $m->{occurrence};
    return (undef, 'text not found') unless @at;
    return (undef, scalar(@at) . " occurrences; give one as file#n") if !defined $wanted && @at > 1;
    return (undef, "only " . scalar(@at) . " occurrence(s), not $wanted") if defined $wanted && $wanted > @at;
    return ($at[($wanted // 1) - 1], undef);
}

my ($command, $listPath, $tree, @rest) = @ARGV;
my @mutants = parse($listPath);
if ($command eq 'describe') {
    # number, file, line, status, description, note: one tab-separated row
    # per mutant, no field empty.
    my $number = 0;
    for my $m (@mutants) {
        $number++;
        my $content = slurp("$tree/$m->{file}");
        my ($offset, $problem) = locate($m, $content);
        my $line = defined $offset ? 1 + (substr($content, 0, $offset) =~ tr/\n//) : $m->{at};
        my ($status, $note) = defined $problem ? ('stale', $problem)
                            : defined $m->{equivalent} ? ('equivalent', $m->{equivalent})
                            : ('mutant', '-');
        my $description = $m->{description} =~ s/\t/ /gr;
        print join("\t", $number, $m->{file}, $line, $status, $description, $note), "\n";
    }
} elsif ($command eq 'apply') {
    # apply <number> <pristine file> <file to write>
    my ($number, $source, $target) = @rest;
    my $m = $mutants[$number - 1] or die "no mutant $number\n";
    my $content = slurp($source);
    my ($offset, $problem) = locate($m, $content);
    die "mutant $number: $problem\n" if defined $problem;
    substr($content, $offset, length($m->{from})) = $m->{to};
    open(my $out, '>:raw', $target) or die "cannot write $target: $!\n";
    print $out $content;
    close($out) or die "cannot write $target: $!\n";
} else {
    die "unknown command $command\n";
}
PERL

usage() {
  sed -n '2,/^set -euo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'
}

list_only=false
selectors=()
while (($#)); do
  case $1 in
    --list) list_only=true ;;
    --timeout)
      [[ $# -ge 2 && $2 =~ ^[1-9][0-9]*$ ]] || { echo "--timeout takes seconds" >&2; exit 2; }
      test_timeout=$2
      shift
      ;;
    -h | --help) usage; exit 0 ;;
    -*) echo "unknown option $1 (see --help)" >&2; exit 2 ;;
    *) selectors+=("$1") ;;
  esac
  shift
done

mutants_tool() { perl -e "$list_tool" -- "$@"; }

# A run works from its own copy of the list, so that editing the list while
# it runs changes nothing.
if ! $list_only; then
  mkdir -p "$work"
  cp "$list" "$work/mutants.txt"
  list=$work/mutants.txt
fi

# The chosen rows of the list, read against the repository's own files.
mapfile -t rows < <(mutants_tool describe "$list" "$root")
selected=()
for row in "${rows[@]}"; do
  IFS=$'\t' read -r number file _ _ description _ <<<"$row"
  if ((${#selectors[@]} == 0)); then
    selected+=("$row")
    continue
  fi
  for selector in "${selectors[@]}"; do
    if [[ $selector =~ ^[0-9]+$ && $selector -eq $number ]] || [[ $selector == "$file" ]] ||
      [[ ! $selector =~ ^[0-9]+$ && ${file,,}\ ${description,,} == *"${selector,,}"* ]]; then
      selected+=("$row")
      break
    fi
  done
done
if ((${#selected[@]} == 0)); then
  echo "No mutant matches: ${selectors[*]}" >&2
  exit 2
fi

if $list_only; then
  for row in "${selected[@]}"; do
    IFS=$'\t' read -r number file line status description note <<<"$row"
    where=$file:$line
    case $status in
      mutant) note="" ;;
      stale) where="scripts/mutants.txt:$line ($file)" note=" [$status: $note]" ;;
      *) note=" [$status: $note]" ;;
    esac
    printf '%3d  %s  %s%s\n' "$number" "$where" "$description" "$note"
  done
  exit 0
fi

started=$SECONDS
elapsed() { printf '%dm%02ds' $(((SECONDS - $1) / 60)) $(((SECONDS - $1) % 60)); }

# --- The scratch copy -------------------------------------------------------

# Brings the copy to the repository's files (tracked and new, not ignored),
# touching only those that differ, so that ninja rebuilds only what changed.
sync_copy() {
  mkdir -p "$copy"
  local wanted=$work/files.txt present=$work/present.txt
  git -C "$root" ls-files -co --exclude-standard | sort >"$wanted"
  while IFS= read -r path; do
    [[ -f $root/$path ]] || continue
    if ! cmp -s "$root/$path" "$copy/$path"; then
      mkdir -p "$(dirname "$copy/$path")"
      cp "$root/$path" "$copy/$path"
    fi
  done <"$wanted"
  (cd "$copy" && find . -path ./build -prune -o -type f -print | sed 's|^\./||' | sort) >"$present"
  comm -13 "$wanted" "$present" | while IFS= read -r stray; do rm -f "$copy/$stray"; done
}

configure() {
  local preset=$1 tree=$2
  [[ -f $tree/build.ninja ]] && return 0
  local launcher=()
  if [[ -z ${CMAKE_CXX_COMPILER_LAUNCHER:-} ]] && command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  (cd "$copy" && cmake --preset "$preset" "${launcher[@]}") >"$logs/configure-$preset.log" 2>&1 || {
    echo "Configuring $preset failed; see $logs/configure-$preset.log" >&2
    exit 1
  }
}

# The repository files that a build tree compiles, headers included, as the
# compiler's dependency records name them.
files_of_tree() {
  local tree=$1
  {
    ninja -C "$tree" -t deps | sed -n 's/^    //p'
    sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$tree/compile_commands.json"
  } | (cd "$tree" && xargs -r -d '\n' realpath -m --relative-to="$copy") | grep -v '^\.\./' | sort -u
}

scripts/deps.sh
mkdir -p "$logs"
rm -f "$logs"/mutant-*.log
# Each mutant starts from, and is undone to, the copy's own file: the
# repository may change while a run goes on.
original=$work/original
trap 'if [[ -n ${current_file:-} ]]; then cp "$original" "$copy/$current_file"; fi' EXIT

echo "== Preparing the scratch copy in ${work#"$root"/}"
sync_copy
configure native-sanitize "$native"
configure windows-release "$windows"
configure native-tsan "$tsan"
for tree in "$native" "$windows" "$tsan"; do
  if ! cmake --build "$tree" -j "$jobs" >"$logs/build-${tree##*/}.log" 2>&1; then
    echo "The unmutated copy does not build; see $logs/build-${tree##*/}.log" >&2
    exit 1
  fi
done
files_of_tree "$native" >"$work/native-files.txt"
files_of_tree "$windows" >"$work/windows-files.txt"
files_of_tree "$tsan" >"$work/tsan-files.txt"

# A mutant means something only against a green suite: run it once for each
# new state of the sources.
fingerprint=$(cd "$copy" && grep -v -e '^scripts/' -e '\.md$' "$work/files.txt" | xargs -d '\n' sha1sum | sha1sum | cut -d' ' -f1)
if [[ $(cat "$work/green.txt" 2>/dev/null) != "$fingerprint" ]]; then
  echo "== The unmutated suite (once per state of the sources)"
  for tree in "$windows" "$native" "$tsan"; do
    if ! ctest --test-dir "$tree" -LE fuzz --timeout "$test_timeout" --output-on-failure \
      >"$logs/suite-${tree##*/}.log" 2>&1; then
      echo "The unmutated suite fails; see $logs/suite-${tree##*/}.log" >&2
      exit 1
    fi
    grep -E 'tests passed|Total Test time' "$logs/suite-${tree##*/}.log" | sed "s/^/  ${tree##*/}: /"
  done
  echo "$fingerprint" >"$work/green.txt"
fi
echo "  ready after $(elapsed "$started")"

# --- One mutant --------------------------------------------------------------

# The stages of the suite, fastest first: build tree, targets to build, and
# the CTest entries they run (-R, or -E for "all the others").
stages=(
  "native|portable_tests|-R|^portable_tests\$"
  "tsan|game_threads_tests|-R|^game_threads_tests\$"
  "windows|portable_tests_windows|-R|^portable_tests_windows\$"
  "windows|plugin_tests|-R|^(plugin_tests|debugger_output_without_debugger)\$"
  "windows|LumenveilSim LumenveilHUD|-R|^sim_"
  "windows|all|-E|^(wine_prefix|portable_tests_windows|plugin_tests|debugger_output_without_debugger|sim_.*)\$"
  "native|all|-E|^portable_tests\$"
)

# Sets `outcome` (killed, timeout, build-fail, survived) and `by`.
run_mutant() {
  local number=$1 file=$2 log=$3
  outcome=survived
  by="-"
  local stage kind targets flag pattern tree output failed status
  for stage in "${stages[@]}"; do
    IFS='|' read -r kind targets flag pattern <<<"$stage"
    grep -qxF "$file" "$work/$kind-files.txt" || continue
    tree=${!kind}
    # shellcheck disable=SC2086 # the targets are words
    if ! cmake --build "$tree" -j "$jobs" --target $targets >>"$log" 2>&1; then
      outcome=build-fail
      by="$kind build"
      return
    fi
    echo "-- $kind: ctest $flag '$pattern'" >>"$log"
    # CTest stops each entry at its own TIMEOUT or at --timeout; the outer
    # limit only catches CTest itself hanging.
    status=0
    output=$(timeout $((test_timeout * 12)) ctest --test-dir "$tree" "$flag" "$pattern" -LE fuzz -FA '.*' \
      --timeout "$test_timeout" --stop-on-failure --output-on-failure 2>&1) || status=$?
    echo "$output" >>"$log"
    if ((status == 124)); then
      outcome=timeout
      by="ctest ($kind)"
      return
    fi
    failed=$(sed -n 's/^[[:space:]]*[0-9]\{1,\} - \([^ ]*\) (\(.*\))$/\1 \2/p' <<<"$output" | head -n 1)
    if [[ -z $failed ]]; then
      if ((status == 0)) || grep -q 'No tests were found' <<<"$output"; then
        continue
      fi
      echo "CTest failed without naming a test (status $status); see $log" >&2
      exit 1
    fi
    by=${failed%% *}
    if [[ ${failed#* } == Timeout ]]; then
      outcome=timeout
    else
      outcome=killed
    fi
    return
  done
}

# --- The run -------------------------------------------------------------------

total=${#selected[@]}
killed=0 timeouts=0 build_fails=0 survived=0 equivalent=0 stale=0
survivors=() build_failures=() stales=()
results=$work/last-run.txt
: >"$results"
echo "== ${total} mutants (timeout ${test_timeout}s per test executable)"
mutants_started=$SECONDS
for row in "${selected[@]}"; do
  IFS=$'\t' read -r number file line status description note <<<"$row"
  where="$file:$line"
  case $status in
    stale)
      where="scripts/mutants.txt:$line ($file)"
      stale=$((stale + 1))
      stales+=("#$number $where $description ($note)")
      printf '%3d %-10s %-28s %s  %s (%s)\n' "$number" stale - "$where" "$description" "$note" | tee -a "$results"
      continue
      ;;
    equivalent)
      equivalent=$((equivalent + 1))
      printf '%3d %-10s %-28s %s  %s (%s)\n' "$number" equivalent - "$where" "$description" "$note" | tee -a "$results"
      continue
      ;;
  esac
  log=$logs/mutant-$number.log
  mutant_started=$SECONDS
  cp "$copy/$file" "$original"
  current_file=$file
  mutants_tool apply "$list" "$root" "$number" "$original" "$copy/$file"
  run_mutant "$number" "$file" "$log"
  cp "$original" "$copy/$file"
  current_file=
  case $outcome in
    killed) killed=$((killed + 1)) ;;
    timeout) timeouts=$((timeouts + 1)) ;;
    build-fail)
      build_fails=$((build_fails + 1))
      build_failures+=("#$number $where $description")
      ;;
    survived)
      survived=$((survived + 1))
      survivors+=("$file|#$number line $line: $description")
      ;;
  esac
  printf '%3d %-10s %-28s %s  %s  [%s]\n' "$number" "$outcome" "$by" "$where" "$description" \
    "$(elapsed "$mutant_started")" | tee -a "$results"
done

# --- The score -----------------------------------------------------------------

dead=$((killed + timeouts + build_fails))
judged=$((dead + survived))
echo
echo "== Score"
echo "killed:     $dead (of which timeout: $timeouts, build-fail: $build_fails)"
echo "survived:   $survived"
echo "equivalent: $equivalent"
echo "stale:      $stale"
if ((judged > 0)); then
  awk -v d="$dead" -v j="$judged" 'BEGIN { printf "score:      %.1f%% of the non-equivalent mutants killed (%d of %d)\n", 100 * d / j, d, j }'
fi
if ((${#survivors[@]})); then
  echo
  echo "Survivors by file:"
  printf '%s\n' "${survivors[@]}" | sort -t'|' -k1,1 -s | awk -F'|' '
    $1 != last { print "  " $1; last = $1 }
    { print "    " $2 }'
fi
if ((${#build_failures[@]})); then
  echo
  echo "Build failures (counted as killed; better mutants wanted):"
  printf '  %s\n' "${build_failures[@]}"
fi
if ((${#stales[@]})); then
  echo
  echo "Stale (the text is gone or ambiguous; the list needs mending):"
  printf '  %s\n' "${stales[@]}"
fi
echo
echo "Mutants took $(elapsed "$mutants_started"); the whole run $(elapsed "$started"). Logs: ${logs#"$root"/}/"
