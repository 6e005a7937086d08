# bash completion for vornel-path: commands, options, and file names for the
# PATH operands.
_vornel_path() {
  local cur=${COMP_WORDS[COMP_CWORD]} word command= at=0 i
  local commands='parts parent filename stem extension root is-absolute normal
    relative proximate join concat remove-filename replace-filename
    replace-extension compare hash help'
  local options='-0 --null -z --zero --json --lexical -h --help --version'
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    [[ $word == -- ]] && break
    [[ $word == -* ]] || { command=$word at=$i; break; }
  done
  if [[ $cur == -* && $word != -- ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  elif [[ -z $command || ($command == help && $COMP_CWORD == $((at + 1))) ]]; then
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
  else
    COMPREPLY=()  # -o default: file names
  fi
}
complete -o default -F _vornel_path vornel-path
