# Raccourcis des commandes du README.
.PHONY: run test bench
run:
	bash outils/lance.sh
test:
	bash outils/teste.sh
bench:
	bash bench/tout.sh
